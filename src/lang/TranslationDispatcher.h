#pragma once

#include "TranslationTable.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class QWidget;

namespace qvr {

class FormTranslation;
class StandardDialogTexts;

// The table language of a language of the run ("GERMAN" -> "LanguageDE", ...); empty for any
// other code.
QString TableLanguageName(const QString& programLanguage);

// The one dispatcher of the program: it knows the five table languages and the tables attached
// to it, and switches all of them when its language is set.
class TranslationDispatcher : public QObject {
    Q_OBJECT
  public:
    // "LanguageDE", "LanguageEN", "LanguageES", "LanguageFR", "LanguageIT": the table columns.
    static const QStringList& LanguageNames();

    explicit TranslationDispatcher(QObject* parent = nullptr);
    ~TranslationDispatcher() override;

    // The current language; "LanguageDE", the design language, until another one is set.
    const QString& language() const { return LanguageNames().at(column_); }
    int column() const { return column_; }  // 0 .. 4
    // Switches every attached table. A name outside the five changes nothing (false).
    bool setLanguage(const QString& name);

    // An attached table takes the current language at once.
    void attach(FormTranslation* table);
    void detach(FormTranslation* table);

    // Texts of the standard dialogs used unchanged: their titles ("Warning", "Error",
    // "Information", "Confirm") and buttons ("Yes", "No", "OK", "Cancel", "Abort", "Retry",
    // "Ignore", "All", "No To All", "Yes To All", "Help"). Qt's standard buttons follow them.
    void setDialogCaption(const QString& element, const QString& text);
    // The text set for a dialog element; empty when none was set.
    QString dialogCaption(const QString& element) const;

  private:
    QList<FormTranslation*> tables_;
    int column_ = 0;
    StandardDialogTexts* dialogTexts_;
};

// A form's translation table attached to the dispatcher: it writes the texts of a language
// into the form's controls, found by their object names.
class FormTranslation : public QObject {
    Q_OBJECT
  public:
    // Properties that are never translated: file names, default extensions, help keywords,
    // initial folders and the data-access properties.
    static const QStringList& ExcludedProperties();

    // Attaches at once when a dispatcher is given; lives as long as the form.
    FormTranslation(QWidget* form, TranslationTable table, TranslationDispatcher* dispatcher);
    ~FormTranslation() override;

    // Writes column 0 .. 4 into the form: rows naming no control and empty texts are skipped.
    void apply(int column);
    const TranslationTable& table() const { return table_; }

  private:
    friend class TranslationDispatcher;
    QObject* component(const QString& name) const;
    void applyRow(const QString& section, const QString& key, const QString& text);

    QWidget* form_;
    TranslationTable table_;
    TranslationDispatcher* dispatcher_;
};

// A table compiled into the program as a resource (":/translations/..."); empty when missing.
TranslationTable LoadTranslationResource(const QString& resourcePath);

}  // namespace qvr
