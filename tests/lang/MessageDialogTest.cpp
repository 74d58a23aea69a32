#include "lang/DVK_MyLanguagesMessageDLG.h"
#include "lang/MessageBoxes.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

using namespace qvr;

namespace {

struct LanguageCase {
    int windowsId;
    int index;
};

QStringList captions(const MessageBoxRequest& request)
{
    QStringList list;
    for (const auto& b : request.buttons) {
        list << b.caption;
    }
    return list;
}

// Message boxes in a language of the desktop, shown through a recording host.
class MessageLanguage : public ::testing::Test {
  protected:
    test::RecordingHost recorder;
    MessageBoxes boxesIn(int languageIndex) { return MessageBoxes(recorder, languageIndex); }
};

}  // namespace

TEST(MessageLanguageIndex, FollowsTheWindowsLanguageTable)
{
    const LanguageCase cases[] = {
        {0x0407, 0}, {0x0807, 0}, {0x0C07, 0}, {0x1007, 0}, {0x1407, 0}, {0x0409, 1},
        {0x0809, 1}, {0x040C, 2}, {0x080C, 2}, {0x0C0C, 2}, {0x100C, 1}, {0x040A, 3},
        {0x080A, 3}, {0x0C0A, 3}, {0x100A, 3}, {0x2C0A, 1}, {0x0410, 4}, {0x0810, 4},
        {0x0816, 1}, {0x0416, 1}, {0x0413, 1}, {0x0000, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MessageLanguageIndexFor(c.windowsId), c.index) << std::hex << c.windowsId;
    }
}

TEST_F(MessageLanguage, SwissGermanErrorBox)
{
    const auto request = boxesIn(MessageLanguageIndexFor(0x0807))
                             .build("x", MessageKind::Error, {MessageButton::OK});
    EXPECT_EQ(request.title, "Fehler");
    EXPECT_EQ(captions(request), QStringList({"OK"}));
}

TEST_F(MessageLanguage, CanadianFrenchConfirmation)
{
    const auto request =
        boxesIn(MessageLanguageIndexFor(0x0C0C))
            .build("x", MessageKind::Confirmation, {MessageButton::No, MessageButton::Yes});
    EXPECT_EQ(request.title, "Confirmation");
    EXPECT_EQ(captions(request), QStringList({"Oui", "Non"}));  // fixed order: Yes before No
}

TEST_F(MessageLanguage, TitlesOfEveryKindAndLanguage)
{
    const char* expected[5][5] = {
        {"Warnung", "Warning", "Avertissement", "Advertencia", "Avviso"},
        {"Fehler", "Error", "Erreur", "Error", "Errore"},
        {"Information", "Information", "Information", "Información", "Informazione"},
        {"Bestätigung", "Confirmation", "Confirmation", "Confirmación", "Conferma"},
        {"Meldung", "Message", "Message", "Mensaje", "Messaggio"},
    };
    for (int kind = 0; kind < 5; ++kind) {
        for (int language = 0; language < 5; ++language) {
            EXPECT_EQ(MessageTitle(static_cast<MessageKind>(kind), language),
                      QString::fromUtf8(expected[kind][language]));
        }
    }
}

TEST_F(MessageLanguage, AbortRetryIgnoreStayEnglishAndOthersKeepStandardCaptions)
{
    const auto request = boxesIn(3).build(  // Spanish
        "x", MessageKind::Warning,
        {MessageButton::Help, MessageButton::Ignore, MessageButton::Retry, MessageButton::Abort,
         MessageButton::Cancel, MessageButton::YesToAll});
    EXPECT_EQ(captions(request), QStringList({"Cancelar", "Abort", "Retry", "Ignore", "", ""}));
    EXPECT_EQ(request.buttons.back().button, MessageButton::Help);
}

TEST_F(MessageLanguage, TheHostsAnswerIsTheResult)
{
    const MessageBoxes boxes = boxesIn(1);
    recorder.answerNext(MessageButton::No);
    EXPECT_EQ(boxes.show("Subfolders?", MessageKind::Confirmation,
                         {MessageButton::Yes, MessageButton::No}),
              7);
    recorder.answers.push_back(kClosedByCloseBox);
    EXPECT_EQ(
        boxes.show("Again?", MessageKind::Confirmation, {MessageButton::Yes, MessageButton::No}),
        2);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0].text, "Subfolders?");
    EXPECT_EQ(recorder.messages[0].title, "Confirmation");
}
