#pragma once

#include <QWidget>
#include <cstdint>

#include "CanSession.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

// The marks of a capture as they are placed: the label and the move to give
// the next one, the button that places it, and the list of those placed
// (time, label, move) with delete and undo. Enter in the label field places
// a labelled mark; Space, elsewhere in the window, places one too.
class TCanMarksPanel : public QWidget {
    Q_OBJECT

  public:
    TCanMarksPanel(k57::CanSession& can, QWidget* parent);

  signals:
    // The marks changed from here: the ranking follows.
    void changed();

  public slots:
    // A mark now, with the label and the move chosen; the label field is
    // emptied for the next.
    void Mark();
    void DeleteClick();
    void UndoClick();
    // The list, when the marks changed (also from elsewhere: a recording's).
    void Refresh();

  private:
    k57::CanSession& can_;
    uint64_t shown_ = UINT64_MAX;  // the marks' revision the list shows

    QLineEdit* LabelEdit;
    QComboBox* MoveBox;
    QLabel* MarksLabel;
    QTableWidget* MarksList;
};
