#pragma once

#include <QString>
#include <QStringList>

namespace qvr {

// A tool's arguments, kept as a list for the process and rendered as the text a person would
// type: paths in double quotes, everything else as it stands, single blanks between.
class CommandLine {
  public:
    CommandLine& option(const QString& text);  // written as it stands: "-b", "192", "--decode"
    CommandLine& path(const QString& text);    // written in double quotes

    QStringList arguments() const { return arguments_; }
    QString text() const;

  private:
    QStringList arguments_;
    QStringList rendered_;
};

// Splits a command line as the Windows shell does for simple cases: blanks separate words,
// double quotes group a word and are removed.
QStringList SplitCommandLine(const QString& line);

}  // namespace qvr
