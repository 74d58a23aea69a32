#pragma once

#include <QString>

namespace qvr {

// An INI file read and written the way the program's settings files expect: section and key
// names compared exactly ("0505" is not "505", "france" is not "FRANCE"), values trimmed, a missing
// file, section or key giving the empty text. Every read goes to the file, so a file changed by the
// installation is seen at once. Files are UTF-8.
class IniFile {
  public:
    explicit IniFile(QString path);

    const QString& path() const { return path_; }
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = QString()) const;
    // Replaces the key's value, or adds the key (and the section) when missing; every other line
    // of the file stays as it was. False when the file cannot be written.
    bool writeString(const QString& section, const QString& key, const QString& value);

  private:
    QString path_;
};

}  // namespace qvr
