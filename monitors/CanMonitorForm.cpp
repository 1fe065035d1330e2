#include "CanMonitorForm.h"

#include <algorithm>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

#include "CanHuntForm.h"
#include "CanMonitorSettings.h"
#include "CanSignalsForm.h"
#include "FormFont.h"
#include "MarksQuestion.h"
#include "OpenProblemText.h"
#include "PortMapping.h"
#include "ScreenFit.h"

namespace {

constexpr int kCapturePanelHeight = k57::CanPicture::kRowPitch * 31;

template <typename W, typename... Args>
W* Place(QWidget* parent, const char* name, int x, int y, Args&&... args) {
    W* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(name);
    w->move(x, y);
    return w;
}

}  // namespace

k57::CanPanel::CanPanel(const k57::CanCapture& capture, CanPicture::Table table, QWidget* parent)
    : QWidget(parent), capture_(capture), table_(table) {
    setObjectName("Panel1");
    setAttribute(Qt::WA_OpaquePaintEvent);  // the picture fills what it paints
}

void k57::CanPanel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const std::vector<CanRecord>& rows =
        view == k57::CanPicture::View::Table ? capture_.Records() : capture_.Captured();
    // Each damaged piece on its own: the rows that changed are often far
    // apart, and their bounding rectangle would redraw all between them.
    for (const QRect& piece : event->region()) {
        k57::CanPicture::Paint(painter, piece, width(), rows, view,
                               palette().color(backgroundRole()), table_);
    }
}

TCanMonitorForm::TCanMonitorForm(k57::DeviceSession& device, QWidget* parent)
    : QDialog(parent), device_(device) {
    setObjectName("CanMonitorForm");
    setWindowTitle("CanMonitor");
    setFont(k57::FormFont());
    table_.SetLook(k57::CanMonitorSettings::Table().Look());
    can_.ReadInBackground(true);
    BuildLayout();
    resize(673, 637);
    k57::FitToScreen(*this);
    Timer1.setInterval(kReadTickMs);
    Timer2.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &TCanMonitorForm::Timer1Timer);
    connect(&Timer2, &QTimer::timeout, this, &TCanMonitorForm::Timer2Timer);
}

TCanMonitorForm::~TCanMonitorForm() = default;

void TCanMonitorForm::BuildLayout() {
    auto* panel2 = new QWidget(this);
    panel2->setObjectName("Panel2");
    panel2->setFixedHeight(59);
    SpeedList = Place<QComboBox>(panel2, "SpeedList", 24, 12);
    SpeedList->setFixedWidth(145);
    PortButton = Place<QPushButton>(panel2, "PortButton", 192, 10, kOpenCaption);
    PortButton->setFixedSize(137, 25);
    MessageCounterLabel = Place<QLabel>(panel2, "MessageCounterLabel", 335, 10, "0");
    UnicumCounterLabel = Place<QLabel>(panel2, "UnicumCounterLabel", 335, 25, "0");
    BitCheckBox = Place<QCheckBox>(panel2, "BitCheckBox", 408, 10, "Bit filter");
    ByteCheckBox = Place<QCheckBox>(panel2, "ByteCheckBox", 408, 30, "Byte fiter");
    CounterLabel = Place<QLabel>(panel2, "CounterLabel", 488, 11, "0");
    CaptureBox = Place<QCheckBox>(panel2, "CaptureBox", 512, 9, "CaptureBox");
    for (QLabel* label : {MessageCounterLabel, UnicumCounterLabel, CounterLabel}) {
        label->setMinimumWidth(60);
    }
    PlaceCheckBoxes();

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Panel1 = new k57::CanPanel(can_.capture(), {&table_, &can_.statistics()}, ScrollBox1);
    Panel1->setFixedHeight(513);
    Panel1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Panel1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu;
        menu.addAction(tr("Сохранить в файл…"), this, &TCanMonitorForm::SaveFrames);
        menu.addAction(tr("Сохранить сигналы как DBC…"), this, &TCanMonitorForm::SaveSignalsDbc);
        menu.addAction(tr("Сигналы DBC…"), this, &TCanMonitorForm::ShowSignals);
        menu.addAction(tr("Поиск сигнала…"), this, &TCanMonitorForm::ShowHunt);
        menu.exec(Panel1->mapToGlobal(at));
    });
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, &TCanMonitorForm::SaveFrames);
    auto* signalsKey = new QShortcut(QKeySequence("Ctrl+D"), this);
    connect(signalsKey, &QShortcut::activated, this, &TCanMonitorForm::ShowSignals);
    auto* hunt = new QShortcut(QKeySequence("Ctrl+H"), this);
    connect(hunt, &QShortcut::activated, this, &TCanMonitorForm::ShowHunt);
    // A mark while watching the table, with the hunt window's label when it
    // is open; a text field that has the focus keeps its Space.
    auto* mark = new QShortcut(Qt::Key_Space, this);
    connect(mark, &QShortcut::activated, this, [this] {
        if (hunt_) {
            hunt_->MarkButtonClick();
        } else {
            can_.Mark({});
        }
    });
    // The panel spans the box's width; its height is set by every drawing.
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setWidget(Panel1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel2);
    layout->addWidget(ScrollBox1, 1);

    connect(PortButton, &QPushButton::clicked, this, &TCanMonitorForm::PortButtonClick);
    connect(CaptureBox, &QCheckBox::clicked, this, &TCanMonitorForm::CaptureBoxClick);
    connect(BitCheckBox, &QCheckBox::clicked, this, &TCanMonitorForm::BitCheckBoxClick);
    connect(ByteCheckBox, &QCheckBox::clicked, this, &TCanMonitorForm::ByteCheckBoxClick);
}

// The designed places and widths are for Tahoma 8 pt; a bigger or wider
// font widens the check boxes to their texts, and what stands right of them
// moves along rather than over them. The capture counter between them keeps
// the room of four digits it was designed with.
void TCanMonitorForm::PlaceCheckBoxes() {
    constexpr int kGap = 4;
    int filters = 0;
    for (auto [box, designed] : {std::pair{BitCheckBox, 65}, std::pair{ByteCheckBox, 74}}) {
        box->setFixedWidth(std::max(designed, box->sizeHint().width()));
        filters = std::max(filters, box->geometry().right() + 1);
    }
    CounterLabel->move(std::max(488, filters + kGap), CounterLabel->y());
    int counter = CounterLabel->fontMetrics().horizontalAdvance(QStringLiteral("9999"));
    CaptureBox->move(std::max(512, CounterLabel->x() + counter), CaptureBox->y());
    CaptureBox->setFixedWidth(std::max(97, CaptureBox->sizeHint().width()));
}

void TCanMonitorForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && CaptureBox) {
        PlaceCheckBoxes();
    }
}

void TCanMonitorForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TCanMonitorForm::FormShow() {
    DeviceInterface* device = device_.get();
    if (!device) {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    SpeedList->clear();
    for (const char* rate : k57::CanLink::kBitRates) {
        SpeedList->addItem(rate);
    }
    SpeedList->setCurrentIndex(k57::CanLink::kDefaultBitRate);
    can_.Reset();
    CounterLabel->setText("0");
    Timer2.start();
}

// Closing the window always closes the channel.
void TCanMonitorForm::done(int result) {
    if (opening_) {
        doneLater_ = result;  // the link is the request's until it is back
        return;
    }
    // Shown again, the monitor starts a new capture: marks not saved are
    // asked for now, while closing can still be called off.
    if (dialogs_ && isVisible() && !MarksQuestion::MayDrop(can_, dialogs_, this)) {
        return;
    }
    CloseProcedure();
    Timer2.stop();
    if (signals_) {
        signals_->Restart();  // the values decoded were this showing's
    }
    QDialog::done(result);
}

void TCanMonitorForm::PortButtonClick() {
    if (opening_) {
        return;
    }
    if (can_.IsOpen()) {
        CloseProcedure();
    } else {
        OpenProcedure();
    }
}

void TCanMonitorForm::OpenProcedure() {
    DeviceInterface* device = device_.get();
    if (!device || !MarksQuestion::MayDrop(can_, dialogs_, this)) {
        return;
    }
    k57::CanSession::Opening port = can_.OpenPort(device->Channel());
    if (port.result != k57::kReplyOk) {
        CloseProcedure();
        // The window fails silently when the unit does not answer; a port
        // that cannot be opened is said, with why.
        if (dialogs_) {
            dialogs_->warning(
                this, tr("Ошибка"),
                tr("%1: порт не открывается (%2)")
                    .arg(QString::fromStdString(k57::ports::ShownName(device->PortName())),
                         k57::OpenProblemText(device->Channel().LastOpenProblem())));
        }
        return;
    }
    auto opening = std::make_shared<k57::CanSession::Opening>();
    int rate = SpeedList->currentIndex();
    opening_ = true;
    // The handshake runs on the request worker; the window waits for it
    // before it closes, since the channel is the request's until then.
    device_.Submit(
        this,
        [this, opening, rate](DeviceInterface&) {
            *opening = can_.Handshake(rate);
            return k57::kReplyOk;
        },
        [this, opening](int) {
            opening_ = false;
            if (doneLater_) {
                done(*std::exchange(doneLater_, std::nullopt));
                return;
            }
            if (opening->result != k57::kReplyOk) {
                CloseProcedure();
                return;
            }
            PortButton->setText(QString::fromLatin1(opening->version.c_str()) + "Close");
            Timer1.start();
        });
}

void TCanMonitorForm::CloseProcedure() {
    can_.Close();
    PortButton->setText(kOpenCaption);
    Timer1.stop();
}

// A tick has a time budget; what a flood leaves waits for the next one.
void TCanMonitorForm::Timer1Timer() {
    can_.Pump(kTickBudgetMs, k57::FilterModeFor(BitCheckBox->isChecked(), ByteCheckBox->isChecked()),
              CaptureBox->isChecked());
}

// A tick with nothing new draws nothing; one with changes repaints the rows
// that changed (and, when a new identifier came in, the rows it moved), and
// the shown rows whose holds ended or that fell silent since the last tick.
void TCanMonitorForm::Timer2Timer() {
    const k57::CanCapture& capture = can_.capture();
    MessageCounterLabel->setText(QString::number(capture.MessageCounter()));
    UnicumCounterLabel->setText(QString::number(capture.Records().size()));
    if (BitCheckBox->isChecked() || ByteCheckBox->isChecked()) {
        CounterLabel->setText(QString::number(capture.Counter()));
    }
    k57::CanCapture::Damage damage = can_.capture().TakeDamage();
    if (CaptureBox->isChecked()) {
        Layout();
        if (damage.any()) {
            Panel1->update();
        }
        return;
    }
    damage = table_.Update(damage, capture.Records(), can_.statistics(), can_.Now());
    Layout();
    RepaintTable(damage);
}

void TCanMonitorForm::RepaintTable(const k57::CanCapture::Damage& damage) {
    // Only what the scroll box shows is asked for: a busy bus damages rows
    // all over a long table, and each request costs the toolkit work.
    const int pitch = k57::CanPicture::kRowPitch, width = Panel1->width();
    QRect shown = Panel1->visibleRegion().boundingRect();
    if (shown.isEmpty()) {
        return;
    }
    const size_t first = size_t(shown.top() / pitch), end = size_t(shown.bottom() / pitch) + 1;
    std::vector<size_t> rows =
        table_.Expired(first, end, can_.capture().Records(), can_.statistics());
    if (rows.empty() && !damage.any()) {
        return;
    }
    if (!rows.empty()) {
        rows.insert(rows.end(), damage.rows.begin(), damage.rows.end());
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    }
    const std::vector<size_t>& damaged = rows.empty() ? damage.rows : rows;
    for (auto [from, to] : k57::CanPicture::DamagedRuns(damaged, damage.movedFrom, first, end)) {
        Panel1->update(0, int(from) * pitch, width, int(to - from) * pitch);
    }
}

// The view and the panel's height for what there is to show.
void TCanMonitorForm::Layout() {
    if (CaptureBox->isChecked()) {
        can_.capture().TrimCaptured();
        Panel1->view = k57::CanPicture::View::Capture;
        Panel1->setFixedHeight(kCapturePanelHeight);
    } else {
        Panel1->view = k57::CanPicture::View::Table;
        Panel1->setFixedHeight(k57::CanPicture::kRowPitch *
                               int(table_.size(can_.capture().Records())));
    }
}

void TCanMonitorForm::Draw() {
    Layout();
    Panel1->update();
}

void TCanMonitorForm::CaptureBoxClick() {
    can_.capture().ClearCaptured();
    Draw();
}

void TCanMonitorForm::FilterClicked(QCheckBox* box, QCheckBox* other) {
    if (box->isChecked()) {
        if (CaptureBox->isChecked()) {
            CaptureBox->setChecked(false);
            CaptureBoxClick();
        }
        CaptureBox->setEnabled(false);
        can_.capture().ResetCounter();
        CounterLabel->setText("0");
    } else if (!other->isChecked()) {
        CaptureBox->setEnabled(true);
    }
}

void TCanMonitorForm::BitCheckBoxClick() {
    FilterClicked(BitCheckBox, ByteCheckBox);
}

void TCanMonitorForm::ByteCheckBoxClick() {
    FilterClicked(ByteCheckBox, BitCheckBox);
}
