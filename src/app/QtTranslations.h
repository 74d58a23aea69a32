#pragma once

#include <QString>
#include <QTranslator>

namespace qvr {

// Qt's own texts (the file dialogs' buttons and labels, the standard message-box buttons) in the
// language of the run, for as long as this object lives.
class QtTranslations {
  public:
    QtTranslations() = default;
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // The locale name of Qt's translation for a language of the run ("GERMAN" is "de"); English
    // for any other code, as the program's own texts fall back to English.
    static QString localeFor(const QString& language);

    // Loads and installs Qt's translation for the language, in place of an earlier one; false when
    // the system has none (the texts then stay English).
    bool apply(const QString& language);

  private:
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace qvr
