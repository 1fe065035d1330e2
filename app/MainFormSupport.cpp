// The main window's help for support: the link's trace window, the
// support report and the language.

#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>

#include "MainForm.h"
#include "PortMapping.h"
#include "Trace.h"
#include "TraceForm.h"
#include "VCOM_Port.h"

void TMainForm::ShowTrace() {
    if (!traceForm_) {
        traceForm_ = new TTraceForm(this);
    }
    traceForm_->show();
    traceForm_->raise();
    traceForm_->activateWindow();
    traceForm_->Follow();
}

void TMainForm::SaveSupportReport() {
    QString path = dialogs_.saveFileName(this, tr("текстовые файлы | *.txt"), "txt");
    if (path.isEmpty()) {
        return;
    }
    k57::SupportReportInput input;
    input.program = "k57tool";
    DeviceInterface* device = device_.get();
    input.port = device ? k57::ports::ShownName(device->PortName()) : std::string();
    input.portSettings = VCOM_Port::LineSettingsText();
    input.unit = unit_;
    input.trace = k57::Trace::Global().Entries();
    for (const QString& line : LogLines()) {
        input.log.push_back(line.toStdString());
    }
    // The window's own journal, and only one that exists: the report must
    // not make one.
    input.journal = record_.ExistingJournal();
    WriteTextFile(path, QByteArray::fromStdString(k57::BuildSupportReport(input)));
    guarded_.Tell(this);
}

// The language menu's own title names it in both languages: whoever opens
// the menu can find it. The languages are named in their own.
void TMainForm::AddLanguageMenu(QMenu& menu) {
    QMenu* languages = menu.addMenu(tr("Язык (Language)"));
    languages->setObjectName("LanguageMenu");
    auto* group = new QActionGroup(languages);
    const std::optional<k57::Language> stored = k57::StoredLanguage();
    const std::pair<QString, std::optional<k57::Language>> choices[] = {
        {tr("Как в системе"), std::nullopt},
        {QStringLiteral("Русский"), k57::Language::Russian},
        {QStringLiteral("English"), k57::Language::English}};
    for (const auto& [text, language] : choices) {
        QAction* action = languages->addAction(text);
        action->setCheckable(true);
        action->setChecked(stored == language);
        action->setData(language ? k57::LanguageCode(*language) : QString());
        group->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, language = language] { ChooseLanguage(language); });
    }
}

void TMainForm::ChooseLanguage(std::optional<k57::Language> language) {
    if (language == k57::StoredLanguage()) {
        return;
    }
    k57::StoreLanguage(language);
    Inform(tr("Сообщение"), tr("Язык сменится при следующем запуске программы."));
}
