#pragma once

#include <QTimer>
#include <QWidget>
#include <map>

#include "CanSignals.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace k57 {
class DialogService;
class PlotWidget;
}  // namespace k57

// The CAN monitor's frames as named signals: DBC files loaded in a chosen
// encoding, every message they know with its latest frame decoded (each
// signal's value, unit, value text and its bits over the frame's bits),
// and the signals ticked plotted over time.
class TCanSignalsForm : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kRefreshMs = 100;
    // A load's report lists this many problems and counts the rest.
    static constexpr size_t kShownProblems = 20;

    // Follows `frames` (the CAN session's log), which must outlive the form.
    TCanSignalsForm(const k57::CanFrameLog& frames, QWidget* parent = nullptr);
    ~TCanSignalsForm() override;

    void SetDialogs(k57::DialogService* dialogs);
    const k57::CanSignals& signalModel() const { return signals_; }
    k57::PlotWidget* plot() const { return Plot; }

  public slots:
    void LoadButtonClick();
    void UnloadButtonClick();
    // Takes the new frames and shows what changed.
    void RefreshTimer();
    // The capture ended: its decoded values and plotted samples go.
    void Restart();

  private:
    void ShowRow(const k57::CanSignals::Row& row);
    void SignalTicked(QTreeWidgetItem* item, int column);
    void FilesChanged();
    void ClearTree();

    const k57::CanFrameLog& frames_;
    k57::CanSignals signals_;
    k57::DialogService* dialogs_ = nullptr;
    QTimer refresh_;
    // The tree's message items by identifier key, with the frame count
    // they show.
    struct Shown {
        QTreeWidgetItem* item;
        uint64_t frames;
    };
    std::map<uint64_t, Shown> shown_;

    QPushButton* LoadButton;
    QComboBox* EncodingList;
    QPushButton* UnloadButton;
    QLabel* FilesLabel;
    QTreeWidget* SignalsTree;
    k57::PlotWidget* Plot;
};
