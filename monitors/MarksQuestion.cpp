#include "MarksQuestion.h"

bool MarksQuestion::MayDrop(const k57::CanSession& can, k57::DialogService* dialogs,
                            QWidget* owner) {
    if (!can.MarksUnsaved()) {
        return true;
    }
    return dialogs && dialogs->message(owner, tr("Внимание"),
                                       tr("Отметки прошлой записи будут удалены. Продолжить?"),
                                       k57::Buttons::YesNo, k57::Answer::No) == k57::Answer::Yes;
}
