#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <optional>

#include "CanPicture.h"
#include "CanSession.h"
#include "DeviceSession.h"
#include "DialogService.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class TCanSignalsForm;
class TCanHuntForm;

namespace k57 {

// The surface the CAN picture is drawn on. It paints only what the scroll
// box shows of it.
class CanPanel : public QWidget {
  public:
    CanPanel(const CanCapture& capture, CanPicture::Table table, QWidget* parent);
    CanPicture::View view = CanPicture::View::Table;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const CanCapture& capture_;
    const CanPicture::Table table_;
};

}  // namespace k57

// The CAN monitor: opens the unit's CAN channel at a chosen bit rate and
// shows every identifier seen, its data in hex and bit by bit, with changed
// bits highlighted, bit and byte filters, and a capture view of changes.
class TCanMonitorForm : public QDialog {
    Q_OBJECT

  public:
    // The port button's caption while the channel is closed.
    static constexpr char kOpenCaption[] = "Open CAN";
    // The longest a tick handles frames before it leaves the rest to the next.
    static constexpr int kTickBudgetMs = 20;
    // How often the frames read are taken into the table. The channel is
    // read on a thread of its own as fast as lines come (an adapter holds
    // about 40 ms of a full bus), so this is the table's pace alone: the
    // picture changes every 100 ms, and at the busiest bus (about 8,000
    // frames/s) a tick takes some 400 frames in one batch.
    static constexpr int kReadTickMs = 50;

    TCanMonitorForm(k57::DeviceSession& device, QWidget* parent = nullptr);
    ~TCanMonitorForm() override;

    // The model behind the window, for tests and measurements.
    k57::CanCapture& capture() { return can_.capture(); }
    // The table's rows as the last display tick left them.
    const k57::TableRows& table() const { return table_; }
    const k57::CanFrameLog& frames() const { return can_.frames(); }
    const k57::CanMarks& marks() const { return can_.marks(); }
    const k57::BusStatistics& statistics() const { return can_.statistics(); }
    // Where "Сохранить в файл…" asks for its file; not owned.
    void SetDialogs(k57::DialogService* dialogs) { dialogs_ = dialogs; }
    void done(int result) override;

  public slots:
    void PortButtonClick();
    void Timer1Timer();
    void Timer2Timer();
    // Ctrl+S and the panel's "Сохранить в файл…".
    void SaveFrames();
    // The panel's "Сохранить сигналы как DBC…": the frames' proposed signals.
    void SaveSignalsDbc();
    // Ctrl+D and the panel's "Сигналы DBC…": the frames as named signals.
    void ShowSignals();
    void CaptureBoxClick();
    void BitCheckBoxClick();
    void ByteCheckBoxClick();
    // Ctrl+H and the panel's "Поиск сигнала…": the companion window.
    void ShowHunt();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void BuildLayout();
    void PlaceCheckBoxes();
    void FormShow();
    void OpenProcedure();
    void CloseProcedure();
    void FilterClicked(QCheckBox* box, QCheckBox* other);
    void Draw();
    void Layout();
    // Repaints what of the table the scroll box shows and `damage` names,
    // and the rows there whose holds or silence time alone changed.
    void RepaintTable(const k57::CanCapture::Damage& damage);

    k57::DeviceSession& device_;
    k57::CanSession can_;
    k57::TableRows table_;
    k57::DialogService* dialogs_ = nullptr;
    TCanSignalsForm* signals_ = nullptr;  // a child, made when first asked for
    QTimer Timer1;
    QTimer Timer2;
    // The channel's opening is on its way; a close waits for it.
    bool opening_ = false;
    std::optional<int> doneLater_;

    QComboBox* SpeedList;
    QPushButton* PortButton;
    QLabel* MessageCounterLabel;
    QLabel* UnicumCounterLabel;
    QCheckBox* BitCheckBox;
    QCheckBox* ByteCheckBox;
    QLabel* CounterLabel;
    QCheckBox* CaptureBox = nullptr;  // null until the layout is built
    QScrollArea* ScrollBox1;
    k57::CanPanel* Panel1;
    TCanHuntForm* hunt_ = nullptr;
};
