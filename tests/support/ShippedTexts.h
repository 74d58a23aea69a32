#pragma once

#include "lang/ProgramTexts.h"

namespace qvr::test {

// The numbered texts of the shipped "Language.ini" in a language of the run.
inline ProgramTexts shippedTexts(const char* language = "ENGLISH")
{
    return ProgramTexts(QString::fromLatin1(language),
                        QStringLiteral(QUORVANE_SOURCE_DIR "/data/"));
}

}  // namespace qvr::test
