#include "convert/StretchSigns.h"
#include "convert/WorkFiles.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace qvr;

// The stretch is played by the reading of its end: it writes its files and ends just as the job
// looks at it, the narrowest moment a real tool can pick. Whatever it wrote before it ended must
// count.
TEST(StretchSigns, WhatAToolWroteBeforeItEndedIsSeen)
{
    struct Case {
        const char* name;
        QStringList writes;
        bool ends;
        StretchSign expected;
    };
    const Case cases[] = {
        {"error file, then the end", {kErrorFile}, true, StretchSign::ErrorFile},
        {"output, then the end", {kOutputWav}, true, StretchSign::Output},
        {"error file and output", {kOutputWav, kErrorFile}, true, StretchSign::ErrorFile},
        {"the end alone", {}, true, StretchSign::Ended},
        {"output while running", {kOutputWav}, false, StretchSign::Output},
        {"nothing yet", {}, false, StretchSign::Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const auto tool = [&] {
            for (const QString& name : c.writes) {
                WriteTextFile(folder + name, QStringLiteral("x"));
            }
            return c.ends;
        };
        EXPECT_EQ(ReadStretchSigns(folder, tool), c.expected);
    }
}
