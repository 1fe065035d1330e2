#include "StationRowView.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "FormFont.h"

namespace {

using State = k57::StationRow::State;

// Background and text colours a step away: plain while waiting or working.
QString Look(State state) {
    switch (state) {
        case State::Done:
            return "background: #2e7d32; color: white;";
        case State::Failed:
            return "background: #c62828; color: white;";
        case State::Skipped:
            return "background: #f9a825; color: black;";
        case State::Waiting:
        case State::Working:
            break;
    }
    return "background: #eceff1; color: black;";
}

}  // namespace

TStationRowView::TStationRowView(QWidget* parent) : QFrame(parent) {
    setObjectName("StationRow");
    setFrameShape(QFrame::StyledPanel);
    QFont large = k57::FormFont();
    large.setPointSize(16);
    large.setBold(true);
    QFont middle = k57::FormFont();
    middle.setPointSize(11);
    port_ = new QLabel(this);
    port_->setObjectName("RowPort");
    port_->setFont(large);
    port_->setMinimumWidth(90);
    headline_ = new QLabel(this);
    headline_->setObjectName("RowHeadline");
    headline_->setFont(large);
    headline_->setWordWrap(true);
    advice_ = new QLabel(this);
    advice_->setObjectName("RowAdvice");
    advice_->setFont(middle);
    advice_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("RowProgress");
    progress_->setRange(0, 100);
    certificate_ = new QPushButton(tr("Сертификат…"), this);
    certificate_->setObjectName("CertificateButton");
    connect(certificate_, &QPushButton::clicked, this, &TStationRowView::certificateAsked);
    auto* grid = new QGridLayout(this);
    grid->addWidget(port_, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(headline_, 0, 1);
    grid->addWidget(certificate_, 0, 2, Qt::AlignTop);
    grid->addWidget(progress_, 1, 1, 1, 2);
    grid->addWidget(advice_, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
}

void TStationRowView::Show(const k57::StationRow& row) {
    setStyleSheet("#StationRow { " + Look(row.state) + " } #StationRow QLabel { " +
                  Look(row.state) + " }");
    port_->setText(row.port);
    headline_->setText(row.Headline());
    const QString advice = row.Advice();
    advice_->setText(advice);
    advice_->setVisible(!advice.isEmpty());
    const bool working = row.state == State::Working;
    progress_->setVisible(working);
    // A step without a measure of its own shows as busy.
    progress_->setRange(0, working && row.percent < 0 ? 0 : 100);
    progress_->setValue(std::max(0, row.percent));
    certificate_->setVisible(row.state == State::Done);
}
