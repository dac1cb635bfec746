#include "print/print_job.h"

#include "print/file_store.h"
#include "print/word_components.h"
#include "ui/main_window_controls.h"

namespace corvane {

void PrintLetter(Program& p) {
    using namespace main_window;
    Toolkit& ui = p.ui;
    ui.SetControlText(k编辑框19, p.Registry->ReadText(Text(kWordPathKey), Text(kWordPathValue)));
    if (FindText(ui.GetControlText(k编辑框19), "Office") == -1) {
        ui.ShowMessageBox(kNoWordText, kMessageOk, kCannotPrintTitle);
        return;
    }
    if (ui.GetControlText(k编辑框5).empty()) {
        ui.ShowMessageBox(kNoLetterText, kMessageOk, kCannotPrintTitle);
        return;
    }
    // A character typed into the box that GBK cannot hold would be printed as '?'.
    if (!ui.IsControlTextGbk(k编辑框5)) {
        ui.ShowMessageBox(kLetterNotGbkText, kMessageOk, kCannotPrintTitle);
        return;
    }

    // Word must print the letter in the box, never an older file left at the fixed path.
    const Text letter = ui.GetControlText(k编辑框5);
    FileStore& files = p.services.files;
    Text letterFile(kLetterFile);
    if (!files.WriteWholeFile(letterFile, letter)) {
        const Text folder = files.TemporaryFolder();
        letterFile = folder + Text(kFallbackLetterName);
        if (folder.empty() || !files.WriteWholeFile(letterFile, letter)) {
            ui.ShowMessageBox(kFileNotWrittenText, kMessageOk, kCannotPrintTitle);
            return;
        }
    }

    WordApplicationComponent& word = *p.word程序1;
    WordDocumentsComponent& documents = *p.word文档集1;
    word.Start();
    documents.Attach(word);
    documents.Open(letterFile);
    documents.SetFontSize(14.0f);
    word.SetVisible(false);
    documents.PrintOut();
    documents.Close();
    word.Quit();
}

}  // namespace corvane
