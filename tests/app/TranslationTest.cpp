#include "StartupFixture.h"
#include "convert/Frequencies.h"
#include "lang/TranslationDispatcher.h"
#include "support/MainFormControls.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <array>

using namespace qvr;
using namespace qvr::test;

namespace {

QStringList itemsOf(const QComboBox& combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) {
        items << combo.itemText(i);
    }
    return items;
}

// The main window's captions in German, English, Spanish, French and Italian; an empty text
// keeps the German one.
struct CaptionRow {
    const char* control;
    std::array<const char*, 5> texts;
};

const CaptionRow kCaptions[] = {
    {"AbortBitBtn", {"Abbrechen", "Cancel", "Cancelar", "Annuler", "Annulla"}},
    {"AusgabeOrdnerffnen1",
     {"Ausgabe Ordner öffnen", "Open Output Folder", "Abrir carpeta de salida",
      "Ouvrir le dossier de sortie", "Apri cartella di destinazione"}},
    {"ConvertBitBtn", {"Konvertieren", "Convert", "Convertir", "Convertir", "Converti"}},
    {"FehlerLabel",
     {"FehlerLabel", "Error Label", "Etiqueta de error", "Étiquette d'erreur", "Etichetta errore"}},
    {"HeaderLabel",
     {"Batch Musik Konverter für 174, 285, 396, 417, 432, 528, 639, 741, 852, 963 Hz Musik",
      "Batch Music Converter for 174, 285, 396, 417, 432, 528, 639, 741, 852, 963 Hz Music",
      "Convertidor de música por lotes para música de 174, 285, 396, 417, 432, 528, 639, 741, "
      "852, 963 Hz",
      "Convertisseur de musique par lot pour la musique à 174, 285, 396, 417, 432, 528, 639, "
      "741, 852, 963 Hz",
      "Convertitore musicale batch per musica a 174, 285, 396, 417, 432, 528, 639, 741, 852, "
      "963 Hz"}},
    {"mniBeenden1", {"Beenden", "Exit", "Salir", "Quitter", "Esci"}},
    {"mniInfo1", {"Info", "Info", "Información", "Infos", "Informazioni"}},
    {"mniProgramm1", {"Datei", "File", "Fichero", "Fichier", "File"}},
    {"mniProgrammInfo1",
     {"Programm Info", "Software Info", "Información del software", "Infos sur le logiciel",
      "Informazioni sul software"}},
    {"OpenFile1", {"Datei öffnen", "Open File", "Abrir archivo", "Ouvrir fichier", "Apri file"}},
    {"OpenFileBitBtn",
     {"Datei öffnen", "Open File", "Abrir archivo", "Ouvrir fichier", "Apri file"}},
    {"OpenFolder1",
     {"Ordner öffnern", "Open Folder", "Abrir carpeta", "Ouvrir dossier", "Apri cartella"}},
    {"OpenFolderBitBtn",
     {"Ordner öffnen", "Open Folder", "Abrir carpeta", "Ouvrir dossier", "Apri cartella"}},
    {"OutputFolderBitBtn",
     {"Ausgabe Ordner öffnen", "Open Output Folder", "Abrir carpeta de salida",
      "Ouvrir le dossier de sortie", "Apri cartella di destinazione"}},
    {"ProgressLabel",
     {"ProgressLabel", "Progress Label", "Etiqueta de progreso", "Étiquette de progression",
      "Etichetta progresso"}},
    {"Wissenswertes1",
     {"Wissenswertes", "Useful Information", "Información útil", "Informations utiles",
      "Informazioni utili"}},
    {"WissenswerteszumKonvertierenSolfeggioFrequenzen1",
     {"Wissenswertes zum Konvertieren (Solfeggio Frequenzen)",
      "Useful Information for Converting (Solfeggio Frequencies)",
      "Información útil para convertir (frecuencias Solfeggio)",
      "Informations utiles pour la conversion (fréquences Solfeggio)",
      "Informazioni utili per la conversione (frequenze Solfeggio)"}},
    {"RipCDBitBtn", {"CD Einlesen", "Read CD", "Leer CD", "Lire le CD", "Leggi il CD"}},
    {"ConvertMSGLabel",
     {"Konvertiere...", "Converting...", "Convertir...", "Convertir...", "Conversione..."}},
    {"Skin1", {"Skin", "", "", "", ""}},
    {"Sprache1", {"Sprache", "Language", "Idioma", "Langue", "Lingua"}},
    {"Skin11", {"Skin 1", "", "", "", ""}},
    {"Skin21", {"Skin 2", "", "", "", ""}},
    {"Skin31", {"Skin 3", "", "", "", ""}},
    {"Skin41", {"Skin 4", "", "", "", ""}},
    {"Skin51", {"Skin 5", "", "", "", ""}},
    {"Skin61", {"Skin 6", "", "", "", ""}},
    {"Skin71", {"Skin 7", "", "", "", ""}},
    {"Skin81", {"Skin 8", "", "", "", ""}},
    {"Skin91", {"Skin 9", "", "", "", ""}},
    {"Skin101", {"Skin 10", "", "", "", ""}},
};

const std::array<const char*, 5> kLanguages = {"GERMAN", "ENGLISH", "SPAIN", "FRANCE", "ITALIAN"};
const std::array<const char*, 5> kPrompts = {
    "- Bitte Auswählen -", "- Please select -", "- Por favor, seleccione -",
    "- Veuillez sélectionner -", "- Si prega di selezionare -"};

QString captionOf(const QObject* object)
{
    if (auto* menu = qobject_cast<const QMenu*>(object))
        return menu->title();
    if (auto* action = qobject_cast<const QAction*>(object))
        return action->text();
    if (auto* label = qobject_cast<const QLabel*>(object))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(object))
        return button->text();
    return QStringLiteral("<no caption>");
}

QString expectedText(const CaptionRow& row, std::size_t column)
{
    const char* text = row.texts[column];
    return QString::fromUtf8(*text != '\0' ? text : row.texts[0]);
}

using Translation = StartupFixture;

}  // namespace

TEST_F(Translation, EveryCaptionOfTheMainWindowReadsAsDesignedInEachLanguage)
{
    for (std::size_t column = 0; column < kLanguages.size(); ++column) {
        SCOPED_TRACE(kLanguages[column]);
        chooseLanguage(kLanguages[column]);
        auto form = start();
        for (const CaptionRow& row : kCaptions) {
            const QObject* control = form->findChild<QObject*>(QLatin1String(row.control));
            ASSERT_NE(control, nullptr) << row.control;
            EXPECT_EQ(captionOf(control), expectedText(row, column)) << row.control;
        }
        EXPECT_EQ(controls(*form).ComboBox1->placeholderText(),
                  QString::fromUtf8(kPrompts[column]));
        // The chooser holds the engine's targets in every language.
        EXPECT_EQ(itemsOf(*controls(*form).ComboBox1), FrequencyItems());
        // The caption is set after the tables: name and version.
        EXPECT_EQ(form->windowTitle(), "Quorvane 2.5.1");
        EXPECT_EQ(form->translations().column(), static_cast<int>(column));
    }
}

TEST_F(Translation, TheGermanMenuKeepsItsOwnSpellingOfOpenFolder)
{
    chooseLanguage("GERMAN");
    auto form = start();
    EXPECT_EQ(controls(*form).OpenFolder1->text(), "Ordner öffnern");
    EXPECT_EQ(controls(*form).OpenFolderBitBtn->text(), "Ordner öffnen");
    chooseLanguage("FRANCE");
    form = start();
    EXPECT_EQ(controls(*form).OpenFolder1->text(), "Ouvrir dossier");
    EXPECT_EQ(controls(*form).OpenFolderBitBtn->text(), "Ouvrir dossier");
}

TEST_F(Translation, TheSkinMenuReadsTheSameInEnglish)
{
    chooseLanguage("ENGLISH");
    auto form = start();
    EXPECT_EQ(controls(*form).Skin1->title(), "Skin");
    for (int skin = 1; skin <= 10; ++skin) {
        EXPECT_EQ(controls(*form).SkinItems[skin - 1]->text(), QStringLiteral("Skin %1").arg(skin));
    }
}

TEST_F(Translation, AnUnknownLanguageCodeLeavesTheGermanTexts)
{
    for (const char* code : {"french", "FRANCE ", "DEUTSCH"}) {
        SCOPED_TRACE(code);
        chooseLanguage(code);
        auto form = start();
        EXPECT_EQ(form->translations().language(), "LanguageDE");
        EXPECT_EQ(controls(*form).ConvertBitBtn->text(), "Konvertieren");
        EXPECT_EQ(controls(*form).mniProgramm1->title(), "Datei");
        EXPECT_EQ(controls(*form).ComboBox1->placeholderText(), "- Bitte Auswählen -");
        EXPECT_TRUE(form->windowTitle().startsWith("Quorvane "));
    }
}

TEST_F(Translation, StandardDialogsUsedUnchangedGetTheGermanButtonTexts)
{
    auto buttonText = [](QDialogButtonBox::StandardButton which) {
        QDialogButtonBox box(which);
        return box.button(which)->text();
    };
    chooseLanguage("GERMAN");
    {
        auto form = start();
        EXPECT_EQ(form->translations().dialogCaption("Confirm"), "Bestätigung");
        EXPECT_EQ(buttonText(QDialogButtonBox::Yes), "&Ja");
        EXPECT_EQ(buttonText(QDialogButtonBox::Cancel), "Abbrechen");
        EXPECT_EQ(buttonText(QDialogButtonBox::YesToAll), "A&lle Ja");
    }
    EXPECT_EQ(buttonText(QDialogButtonBox::Yes), "&Yes");  // gone with the window
    chooseLanguage("ENGLISH");
    auto form = start();
    EXPECT_EQ(buttonText(QDialogButtonBox::Yes), "&Yes");
    EXPECT_EQ(form->translations().dialogCaption("Confirm"), "");
}

TEST(TranslationTables, TheProgramsTablesHoldEverySectionInOrder)
{
    struct Case {
        const char* resource;
        std::size_t captions;
    };
    const Case cases[] = {{":/translations/fMainQVR.translation", 32},
                          {":/translations/fCDName.translation", 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resource);
        QFile file(QString::fromLatin1(c.resource));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray stored = file.readAll();
        EXPECT_FALSE(stored.contains("\n\n"));
        EXPECT_EQ(stored.count("\r\n"), stored.count('\n'));  // CR LF only
        const TranslationTable table = TranslationTable::Parse(stored);
        ASSERT_EQ(table.sections().size(), 11u);
        for (std::size_t i = 0; i < table.sections().size(); ++i) {
            EXPECT_EQ(table.sections()[i].name,
                      TranslationTable::SectionNames()[static_cast<int>(i)]);
        }
        EXPECT_EQ(table.section("stCaptions")->rows.size(), c.captions);
        EXPECT_EQ(table.section("stDlgsCaptions")->rows.size(), 15u);
        EXPECT_EQ(table.store(), stored);  // rows of a key and five texts, each ended by 0x01
    }
}
