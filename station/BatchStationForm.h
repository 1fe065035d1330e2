#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "BatchPlan.h"
#include "BatchStation.h"
#include "DialogService.h"
#include "ParameterList.h"
#include "StationBoard.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;
class TStationRowView;

// The station: many units programmed from a template and a values file, a
// unit after another on each of several ports. The window chooses the
// files, the ports and the options, checks the plan, and shows each port's
// unit as a large row; the station's own threads do the work, so the
// window never waits for a unit.
class TBatchStationForm : public QWidget {
    Q_OBJECT

  public:
    explicit TBatchStationForm(k57::DialogService& dialogs, QWidget* parent = nullptr);
    ~TBatchStationForm() override;

    // Tests: sessions of their own, a journal of their own, a quick poll.
    void SetDeviceMaker(k57::BatchStation::DeviceMaker maker) { makeDevice_ = std::move(maker); }
    void SetJournalPath(std::string path) { journalPath_ = std::move(path); }
    void SetPollInterval(std::chrono::milliseconds interval) { poll_ = interval; }

    const k57::StationBoard& board() const { return board_; }
    bool running() const { return station_ != nullptr; }

  public slots:
    void ChooseTemplate();
    void ChooseValues();
    // Every problem of the template and the values file listed by row and
    // column; true when there is none. No unit is touched.
    bool Check();
    void Start();
    // No port waits for another unit; the unit being written is finished.
    void Stop();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* BuildChoices();
    QStringList Ports() const;
    void OfferPorts(QPushButton& button);
    std::unique_ptr<k57::BatchPlan> ReadPlan();
    QStringList Problems(const k57::BatchPlan& plan) const;
    void BuildRows();
    void Redraw(const QList<int>& rows, bool counts);
    void Watch();
    void UpdateButtons();
    // "Сертификат…": the unit's certificate saved where the user says
    // (StationCertificate.cpp).
    void SaveCertificate(int row);

    k57::DialogService& dialogs_;
    ParameterList catalogue_;
    k57::StationBoard board_;
    std::unique_ptr<k57::BatchPlan> plan_;
    // After the plan it borrows; ended before the plan goes.
    std::unique_ptr<k57::BatchStation> station_;
    k57::BatchStation::DeviceMaker makeDevice_;
    std::string journalPath_;
    std::chrono::milliseconds poll_{500};
    std::string templateName_, valuesName_, batchMark_;
    QTimer watch_;  // while running: has the station ended?
    bool stopping_ = false;
    bool closeWhenEnded_ = false;

    QLineEdit* template_ = nullptr;
    QLineEdit* values_ = nullptr;
    QPushButton* chooseTemplate_ = nullptr;
    QPushButton* chooseValues_ = nullptr;
    QLineEdit* ports_ = nullptr;
    QPushButton* offer_ = nullptr;
    QCheckBox* updateFirmware_ = nullptr;
    QCheckBox* templateOnly_ = nullptr;
    QPushButton* check_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPlainTextEdit* problems_ = nullptr;
    QLabel* counts_ = nullptr;
    QVBoxLayout* rowsLayout_ = nullptr;
    std::vector<TStationRowView*> rowViews_;
};
