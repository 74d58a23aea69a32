#include "TranslationDispatcher.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMetaProperty>
#include <QTranslator>
#include <QWidget>

#include <initializer_list>

namespace qvr {

// Answers Qt's own texts of the standard dialog buttons with the table's captions.
class StandardDialogTexts : public QTranslator {
    Q_OBJECT
  public:
    using QTranslator::QTranslator;

    void set(const QString& element, const QString& text)
    {
        captions_.insert(element, text);
        const char* qtText = qtTextOf(element);
        if (qtText == nullptr) {
            return;
        }
        qtTexts_.insert(QByteArray(qtText), text);
        if (!installed_ && QCoreApplication::instance() != nullptr) {
            installed_ = QCoreApplication::installTranslator(this);
        }
    }

    QString caption(const QString& element) const { return captions_.value(element); }

    // The table's captions come before the translations installed since (Qt's own texts).
    void raise()
    {
        if (installed_) {
            QCoreApplication::removeTranslator(this);
            installed_ = QCoreApplication::installTranslator(this);
        }
    }

    void clear()
    {
        captions_.clear();
        qtTexts_.clear();
    }

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QPlatformTheme") != 0) {
            return {};
        }
        return qtTexts_.value(QByteArray(sourceText));
    }

    bool isEmpty() const override { return qtTexts_.isEmpty(); }

  private:
    // The source texts Qt's platform theme gives its standard buttons.
    static const char* qtTextOf(const QString& element)
    {
        struct Pair {
            const char* element;
            const char* qtText;
        };
        static constexpr Pair kPairs[] = {{"OK", "OK"},
                                          {"Cancel", "Cancel"},
                                          {"Yes", "&Yes"},
                                          {"No", "&No"},
                                          {"Abort", "Abort"},
                                          {"Retry", "Retry"},
                                          {"Ignore", "Ignore"},
                                          {"Yes To All", "Yes to &All"},
                                          {"No To All", "N&o to All"},
                                          {"Help", "Help"}};
        for (const Pair& p : kPairs) {
            if (element == QLatin1String(p.element)) {
                return p.qtText;
            }
        }
        return nullptr;
    }

    QHash<QString, QString> captions_;
    QHash<QByteArray, QString> qtTexts_;
    bool installed_ = false;
};

namespace {

enum class SectionKind {
    Captions,
    Hints,
    Fonts,
    MultiLines,
    DialogCaptions,
    OtherStrings,
    Ignored
};

SectionKind kindOf(const QString& section)
{
    if (section == QLatin1String("stCaptions"))
        return SectionKind::Captions;
    if (section == QLatin1String("stHints"))
        return SectionKind::Hints;
    if (section == QLatin1String("stFonts"))
        return SectionKind::Fonts;
    if (section == QLatin1String("stMultiLines"))
        return SectionKind::MultiLines;
    if (section == QLatin1String("stDlgsCaptions"))
        return SectionKind::DialogCaptions;
    if (section == QLatin1String("stOtherStrings"))
        return SectionKind::OtherStrings;
    // Display labels, strings, locales and collections have nothing to set on these forms;
    // Qt fonts cover all of Unicode, so a font's character set has no meaning here.
    return SectionKind::Ignored;
}

// Writes the first of the named properties the object has as a writable text property.
bool setTextProperty(QObject* object, std::initializer_list<const char*> names,
                     const QVariant& value)
{
    const QMetaObject* meta = object->metaObject();
    for (const char* name : names) {
        const int index = meta->indexOfProperty(name);
        if (index < 0) {
            continue;
        }
        const QMetaProperty property = meta->property(index);
        if (property.isWritable() && property.metaType() == value.metaType()) {
            return property.write(object, value);
        }
    }
    return false;
}

// A stored property name in Qt's spelling: "Text" -> "text".
QByteArray qtPropertyName(const QString& stored)
{
    QByteArray name = stored.toLatin1();
    if (!name.isEmpty()) {
        name[0] = static_cast<char>(QChar::toLower(static_cast<char32_t>(name[0])));
    }
    return name;
}

void setFontFamily(QObject* object, const QString& family)
{
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        QFont font = widget->font();
        font.setFamily(family);
        widget->setFont(font);
    } else if (auto* action = qobject_cast<QAction*>(object)) {
        QFont font = action->font();
        font.setFamily(family);
        action->setFont(font);
    }
}

void setItems(QObject* object, const QString& property, const QStringList& items)
{
    auto* combo = qobject_cast<QComboBox*>(object);
    if (combo != nullptr && property == QLatin1String("Items")) {
        QStringList current;
        for (int i = 0; i < combo->count(); ++i) {
            current << combo->itemText(i);
        }
        if (current == items) {
            return;
        }
        const int index = combo->currentIndex();
        combo->clear();
        combo->addItems(items);
        combo->setCurrentIndex(index < combo->count() ? index : -1);
        return;
    }
    const QByteArray name = qtPropertyName(property);
    setTextProperty(object, {name.constData()}, QVariant(items));
}

void setOtherString(QObject* object, const QString& property, const QString& text)
{
    // The text a drop-down list shows while nothing is chosen.
    auto* combo = qobject_cast<QComboBox*>(object);
    if (combo != nullptr && !combo->isEditable() && property == QLatin1String("Text")) {
        combo->setPlaceholderText(text);
        return;
    }
    const QByteArray name = qtPropertyName(property);
    setTextProperty(object, {name.constData()}, QVariant(text));
}

}  // namespace

QString TableLanguageName(const QString& programLanguage)
{
    static const QStringList codes = {QStringLiteral("GERMAN"), QStringLiteral("ENGLISH"),
                                      QStringLiteral("SPAIN"), QStringLiteral("FRANCE"),
                                      QStringLiteral("ITALIAN")};
    const qsizetype index = codes.indexOf(programLanguage);
    return index < 0 ? QString() : TranslationDispatcher::LanguageNames().at(index);
}

const QStringList& TranslationDispatcher::LanguageNames()
{
    static const QStringList names = {QStringLiteral("LanguageDE"), QStringLiteral("LanguageEN"),
                                      QStringLiteral("LanguageES"), QStringLiteral("LanguageFR"),
                                      QStringLiteral("LanguageIT")};
    return names;
}

TranslationDispatcher::TranslationDispatcher(QObject* parent)
    : QObject(parent), dialogTexts_(new StandardDialogTexts(this))
{
}

TranslationDispatcher::~TranslationDispatcher()
{
    for (FormTranslation* table : std::as_const(tables_)) {
        table->dispatcher_ = nullptr;
    }
}

bool TranslationDispatcher::setLanguage(const QString& name)
{
    const qsizetype index = LanguageNames().indexOf(name);
    if (index < 0) {
        return false;
    }
    column_ = static_cast<int>(index);
    // The standard dialogs take only the new language's texts: where it has none, Qt's own.
    dialogTexts_->clear();
    for (FormTranslation* table : std::as_const(tables_)) {
        table->apply(column_);
    }
    dialogTexts_->raise();
    return true;
}

void TranslationDispatcher::attach(FormTranslation* table)
{
    if (!tables_.contains(table)) {
        tables_ << table;
    }
    table->apply(column_);
}

void TranslationDispatcher::detach(FormTranslation* table)
{
    tables_.removeAll(table);
}

void TranslationDispatcher::setDialogCaption(const QString& element, const QString& text)
{
    dialogTexts_->set(element, text);
}

QString TranslationDispatcher::dialogCaption(const QString& element) const
{
    return dialogTexts_->caption(element);
}

const QStringList& FormTranslation::ExcludedProperties()
{
    static const QStringList names = {
        QStringLiteral("FileName"),     QStringLiteral("DefaultExt"),
        QStringLiteral("HelpKeyword"),  QStringLiteral("HelpFile"),
        QStringLiteral("InitialDir"),   QStringLiteral("DataField"),
        QStringLiteral("DataSource"),   QStringLiteral("DatabaseName"),
        QStringLiteral("TableName"),    QStringLiteral("IndexName"),
        QStringLiteral("FieldName"),    QStringLiteral("KeyField"),
        QStringLiteral("ListField"),    QStringLiteral("ListSource"),
        QStringLiteral("MasterFields"), QStringLiteral("SQL")};
    return names;
}

FormTranslation::FormTranslation(QWidget* form, TranslationTable table,
                                 TranslationDispatcher* dispatcher)
    : QObject(form), form_(form), table_(std::move(table)), dispatcher_(dispatcher)
{
    if (dispatcher_ != nullptr) {
        dispatcher_->attach(this);
    }
}

FormTranslation::~FormTranslation()
{
    if (dispatcher_ != nullptr) {
        dispatcher_->detach(this);
    }
}

void FormTranslation::apply(int column)
{
    if (column < 0 || column >= kTableLanguageCount) {
        return;
    }
    for (const TranslationSection& section : table_.sections()) {
        for (const TranslationRow& row : section.rows) {
            const QString& text = row.texts[static_cast<std::size_t>(column)];
            if (!text.isEmpty()) {
                applyRow(section.name, row.key, text);
            }
        }
    }
}

void FormTranslation::applyRow(const QString& section, const QString& key, const QString& text)
{
    const SectionKind kind = kindOf(section);
    if (kind == SectionKind::Ignored) {
        return;
    }
    if (kind == SectionKind::DialogCaptions) {
        if (dispatcher_ != nullptr) {
            dispatcher_->setDialogCaption(key, text);
        }
        return;
    }
    const qsizetype dot = key.indexOf(u'.');
    const QString name = dot < 0 ? key : key.left(dot);
    const QString property = dot < 0 ? QString() : key.mid(dot + 1);
    if (!property.isEmpty() && ExcludedProperties().contains(property)) {
        return;
    }
    QObject* target = component(name);
    if (target == nullptr) {
        return;
    }
    switch (kind) {
        case SectionKind::Captions:
            if (target == form_) {
                form_->setWindowTitle(text);
            } else {
                setTextProperty(target, {"text", "title", "windowTitle"}, QVariant(text));
            }
            // Labels size themselves to their text, as in the stored layouts.
            if (auto* label = qobject_cast<QLabel*>(target);
                label != nullptr && !label->wordWrap()) {
                label->adjustSize();
            }
            break;
        case SectionKind::Hints: setTextProperty(target, {"toolTip"}, QVariant(text)); break;
        case SectionKind::Fonts: setFontFamily(target, text); break;
        case SectionKind::MultiLines:
            setItems(target, property, text.split(u',', Qt::KeepEmptyParts));
            break;
        case SectionKind::OtherStrings: setOtherString(target, property, text); break;
        case SectionKind::DialogCaptions:
        case SectionKind::Ignored: break;
    }
}

QObject* FormTranslation::component(const QString& name) const
{
    if (name.isEmpty()) {
        return nullptr;
    }
    if (name == form_->objectName()) {
        return form_;
    }
    return form_->findChild<QObject*>(name);
}

TranslationTable LoadTranslationResource(const QString& resourcePath)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return TranslationTable::Parse(file.readAll());
}

}  // namespace qvr

#include "TranslationDispatcher.moc"
