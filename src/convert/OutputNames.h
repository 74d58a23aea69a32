#pragma once

#include <QString>

#include <functional>
#include <set>

namespace qvr {

// The output files taken in one run. Two inputs whose outputs would share a name ("a.mp3" and
// "a.MP3") must not write one file: a later one gets " (2)", " (3)", ... before the extension.
class OutputNames {
  public:
    using CaseRule = std::function<bool(const QString& folder)>;
    // `ignoresCase` tells whether the file system of a folder sees names of another letter case
    // as the same.
    explicit OutputNames(CaseRule ignoresCase);

    // Takes the name in the folder, or the first free numbered variant; answers the name taken.
    QString claim(const QString& folder, const QString& name);

  private:
    QString key(const QString& folder, const QString& name) const;

    CaseRule ignoresCase_;
    std::set<QString> taken_;
};

}  // namespace qvr
