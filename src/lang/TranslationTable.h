#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace qvr {

// A form's translation table in its stored format: Windows-1252 text, lines ended by CR LF.
// A line without the delimiter byte 0x01 starts a section; a row is a key and five texts (one
// per language, in column order), each field followed by 0x01. Empty text: an empty field.
inline constexpr int kTableLanguageCount = 5;
inline constexpr char kTableDelimiter = '\x01';

struct TranslationRow {
    QString key;  // a control's name, the form's class name, or control.property
    std::array<QString, kTableLanguageCount> texts;
};

struct TranslationSection {
    QString name;
    std::vector<TranslationRow> rows;
};

class TranslationTable {
  public:
    // The eleven sections, in the order every table stores them.
    static const QStringList& SectionNames();

    // Reads a stored table; lines before the first section header are ignored, missing texts
    // of a short row are empty.
    static TranslationTable Parse(QByteArrayView stored);
    // The stored format of the table.
    QByteArray store() const;

    const std::vector<TranslationSection>& sections() const { return sections_; }
    std::vector<TranslationSection>& sections() { return sections_; }
    // The section of that name; nullptr when the table has none.
    const TranslationSection* section(const QString& name) const;

  private:
    std::vector<TranslationSection> sections_;
};

}  // namespace qvr
