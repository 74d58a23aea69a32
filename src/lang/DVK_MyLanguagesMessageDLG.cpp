#include "DVK_MyLanguagesMessageDLG.h"

#include <algorithm>
#include <array>

namespace qvr {

namespace {

using Row = std::array<const char*, 5>;  // German, English, French, Spanish, Italian

constexpr Row kTitles[] = {
    {"Warnung", "Warning", "Avertissement", "Advertencia", "Avviso"},
    {"Fehler", "Error", "Erreur", "Error", "Errore"},
    {"Information", "Information", "Information", "Información", "Informazione"},
    {"Bestätigung", "Confirmation", "Confirmation", "Confirmación", "Conferma"},
    {"Meldung", "Message", "Message", "Mensaje", "Messaggio"},
};

struct ButtonRow {
    MessageButton button;
    Row captions;
};

constexpr ButtonRow kButtons[] = {
    {MessageButton::OK, {"OK", "OK", "OK", "OK", "OK"}},
    {MessageButton::Cancel, {"Abbrechen", "Cancel", "Annuler", "Cancelar", "Annulla"}},
    {MessageButton::Abort, {"Abort", "Abort", "Abort", "Abort", "Abort"}},
    {MessageButton::Retry, {"Retry", "Retry", "Retry", "Retry", "Retry"}},
    {MessageButton::Ignore, {"Ignore", "Ignore", "Ignore", "Ignore", "Ignore"}},
    {MessageButton::Yes, {"Ja", "Yes", "Oui", "Sí", "Sì"}},
    {MessageButton::No, {"Nein", "No", "Non", "No", "No"}},
};

// The order in which the standard message box places its buttons.
constexpr MessageButton kButtonOrder[] = {
    MessageButton::Yes,     MessageButton::No,       MessageButton::OK,     MessageButton::Cancel,
    MessageButton::Abort,   MessageButton::Retry,    MessageButton::Ignore, MessageButton::All,
    MessageButton::NoToAll, MessageButton::YesToAll, MessageButton::Help,
};

int clampedIndex(int languageIndex)
{
    return std::clamp(languageIndex, 0, 4);
}

}  // namespace

int MessageLanguageIndexFor(int id)
{
    switch (id) {
        case 0x0407:
        case 0x0807:
        case 0x0C07:
        case 0x1007:
        case 0x1407: return 0;
        case 0x040C:
        case 0x080C:
        case 0x0C0C: return 2;
        case 0x040A:
        case 0x080A:
        case 0x0C0A:
        case 0x100A: return 3;
        case 0x0410:
        case 0x0810: return 4;
        default: return 1;
    }
}

QString MessageTitle(MessageKind kind, int languageIndex)
{
    const int row = std::clamp(static_cast<int>(kind), 0, 4);
    return QString::fromUtf8(kTitles[row][clampedIndex(languageIndex)]);
}

QString MessageButtonCaption(MessageButton button, int languageIndex)
{
    for (const ButtonRow& row : kButtons) {
        if (row.button == button) {
            return QString::fromUtf8(row.captions[clampedIndex(languageIndex)]);
        }
    }
    return QString();
}

MessageBoxRequest BuildLanguageMessage(const QString& text, MessageKind kind,
                                       const std::vector<MessageButton>& buttons, int languageIndex)
{
    MessageBoxRequest request;
    request.kind = kind;
    request.title = MessageTitle(kind, languageIndex);
    request.text = text;
    for (const MessageButton button : kButtonOrder) {
        if (std::find(buttons.begin(), buttons.end(), button) != buttons.end()) {
            request.buttons.push_back({button, MessageButtonCaption(button, languageIndex)});
        }
    }
    return request;
}

}  // namespace qvr
