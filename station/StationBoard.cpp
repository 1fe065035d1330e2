#include "StationBoard.h"

namespace k57 {

namespace {

QString StepText(BatchStep step) {
    switch (step) {
        case BatchStep::Waiting:
            return StationBoard::tr("ожидание блока");
        case BatchStep::Identifying:
            return StationBoard::tr("опознание блока");
        case BatchStep::UpdatingFirmware:
            return StationBoard::tr("обновление прошивки");
        case BatchStep::BackingUp:
            return StationBoard::tr("сохранение прежних настроек");
        case BatchStep::Writing:
            return StationBoard::tr("запись настроек");
        case BatchStep::ReadingBack:
            return StationBoard::tr("проверка записанного");
        case BatchStep::Finished:
        case BatchStep::WaitingForRemoval:
            break;
    }
    return {};
}

StationRow::State StateOf(BatchUnitResult::Result result) {
    switch (result) {
        case BatchUnitResult::Result::Ok:
            return StationRow::State::Done;
        case BatchUnitResult::Result::Failed:
            return StationRow::State::Failed;
        case BatchUnitResult::Result::Skipped:
            break;
    }
    return StationRow::State::Skipped;
}

}  // namespace

QString StationRow::Headline() const {
    const QString unit = serial ? QString::number(*serial) : StationBoard::tr("блок");
    switch (state) {
        case State::Waiting:
            return StationBoard::tr("Ожидание блока");
        case State::Working:
            return unit + ": " + StepText(step);
        case State::Done:
            return result && result->row > 0
                       ? StationBoard::tr("%1: готово (строка %2)").arg(unit).arg(result->row)
                       : StationBoard::tr("%1: готово (только шаблон)").arg(unit);
        case State::Failed:
            return StationBoard::tr("%1: ошибка — %2")
                .arg(unit, QString::fromStdString(result ? result->reason : std::string()));
        case State::Skipped:
            return StationBoard::tr("%1: пропущен — %2")
                .arg(unit, QString::fromStdString(result ? result->reason : std::string()));
    }
    return {};
}

// The unit's own advice first; then the port's next move.
QString StationRow::Advice() const {
    if (!result) {
        return {};
    }
    QStringList lines;
    if (!result->advice.empty() && state != State::Done) {
        // The service's advice is a clause; the row shows it as a sentence.
        QString advice = QString::fromStdString(result->advice);
        advice[0] = advice[0].toUpper();
        lines << (advice.endsWith('.') ? advice : advice + '.');
    }
    lines << (removed ? StationBoard::tr("Установите следующий блок.")
                      : StationBoard::tr("Снимите блок."));
    return lines.join('\n');
}

StationBoard::StationBoard(QObject* parent) : QObject(parent) {
    qRegisterMetaType<k57::BatchEvent>();
    connect(this, &StationBoard::arrived, this, &StationBoard::Take, Qt::QueuedConnection);
    redraw_.setSingleShot(true);
    redraw_.setInterval(kRedrawMs);
    connect(&redraw_, &QTimer::timeout, this, &StationBoard::Flush);
}

void StationBoard::Reset(const QStringList& ports, int left) {
    rows_.clear();
    finished_.clear();
    outcomes_.clear();
    doneWithRow_.clear();
    anonymous_ = {};
    left_ = left;
    dirty_.clear();
    for (const QString& port : ports) {
        StationRow row;
        row.port = port;
        dirty_.insert(int(rows_.size()));
        rows_.push_back(row);
    }
    countsDirty_ = true;
    redraw_.start();
}

void StationBoard::Post(const BatchEvent& event) {
    emit arrived(event);
}

int StationBoard::RowOf(const std::string& port) {
    const QString name = QString::fromStdString(port);
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].port == name) {
            return int(i);
        }
    }
    StationRow row;
    row.port = name;
    rows_.push_back(row);
    return int(rows_.size()) - 1;
}

void StationBoard::Take(const BatchEvent& event) {
    const int index = RowOf(event.port);
    StationRow& row = rows_[size_t(index)];
    switch (event.step) {
        case BatchStep::Waiting:
            // The last unit stays on the board until the next one comes.
            if (row.result) {
                row.removed = true;
            } else {
                row.state = StationRow::State::Waiting;
            }
            break;
        case BatchStep::Finished:
            if (event.result) {
                Finish(row, *event.result);
            }
            break;
        case BatchStep::WaitingForRemoval:
            break;
        default:
            if (row.state != StationRow::State::Working) {
                row.result.reset();
                row.removed = false;
                row.serial.reset();
            }
            row.state = StationRow::State::Working;
            break;
    }
    row.step = event.step;
    row.percent = event.percent;
    if (event.serial) {
        row.serial = event.serial;
    }
    dirty_.insert(index);
    if (!redraw_.isActive()) {
        redraw_.start();
    }
}

void StationBoard::Finish(StationRow& row, const BatchUnitResult& result) {
    row.result = result;
    row.state = StateOf(result.result);
    row.removed = false;
    if (result.serial) {
        row.serial = result.serial;
    }
    finished_.push_back(result);
    if (!result.serial) {
        BatchCounts& c = anonymous_;
        (result.result == BatchUnitResult::Result::Ok       ? c.ok
         : result.result == BatchUnitResult::Result::Failed ? c.failed
                                                            : c.skipped)++;
    } else {
        auto [it, added] = outcomes_.emplace(*result.serial, result.result);
        // A unit done stays done when it comes back and is turned away.
        if (!added && it->second != BatchUnitResult::Result::Ok) {
            it->second = result.result;
        }
        if (result.result == BatchUnitResult::Result::Ok && result.row > 0) {
            doneWithRow_.insert(*result.serial);
        }
    }
    countsDirty_ = true;
}

BatchCounts StationBoard::counts() const {
    BatchCounts c = anonymous_;
    for (const auto& [serial, outcome] : outcomes_) {
        (outcome == BatchUnitResult::Result::Ok       ? c.ok
         : outcome == BatchUnitResult::Result::Failed ? c.failed
                                                      : c.skipped)++;
    }
    c.left = std::max(0, left_ - int(doneWithRow_.size()));
    return c;
}

QString StationBoard::CountsText() const {
    const BatchCounts c = counts();
    return tr("Готово: %1  Ошибок: %2  Пропущено: %3  Осталось: %4")
        .arg(c.ok)
        .arg(c.failed)
        .arg(c.skipped)
        .arg(c.left);
}

void StationBoard::Flush() {
    QList<int> rows(dirty_.begin(), dirty_.end());
    dirty_.clear();
    const bool counts = countsDirty_;
    countsDirty_ = false;
    emit changed(rows, counts);
}

}  // namespace k57
