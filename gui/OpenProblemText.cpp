#include "OpenProblemText.h"

#include <QCoreApplication>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace k57 {

namespace {

// The codes a serial port's open meets in practice; the rest show as numbers.
QString SystemText(int code) {
    switch (code) {
#ifdef _WIN32
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_UNIT:
            return QCoreApplication::translate("OpenProblemText", "нет такого порта");
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return QCoreApplication::translate("OpenProblemText", "порт занят другой программой");
        case ERROR_GEN_FAILURE:
        case ERROR_NOT_READY:
            return QCoreApplication::translate("OpenProblemText", "устройство не работает");
        case ERROR_SEM_TIMEOUT:
            return QCoreApplication::translate("OpenProblemText", "устройство не отвечает");
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEV_NOT_EXIST:
            return QCoreApplication::translate("OpenProblemText", "устройство отключено");
#else
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return QCoreApplication::translate("OpenProblemText", "устройство отключено");
        case EACCES:
        case EPERM:
            return QCoreApplication::translate("OpenProblemText", "нет прав на доступ к порту");
        case EBUSY:
            return QCoreApplication::translate("OpenProblemText", "порт занят другой программой");
        case EIO:
            return QCoreApplication::translate("OpenProblemText", "ошибка ввода-вывода");
        case ENOTTY:
            return QCoreApplication::translate("OpenProblemText", "это не последовательный порт");
        case EROFS:
            return QCoreApplication::translate("OpenProblemText", "порт открыт только для чтения");
#endif
        default:
            return QCoreApplication::translate("OpenProblemText", "системная ошибка %1").arg(code);
    }
}

}  // namespace

QString OpenProblemText(const OpenProblem& problem) {
    switch (problem.kind) {
        case OpenProblem::Kind::NoSuchPort:
            return QCoreApplication::translate("OpenProblemText", "нет такого порта");
        case OpenProblem::Kind::InUse:
            return QCoreApplication::translate("OpenProblemText", "порт занят другой программой");
        case OpenProblem::Kind::System:
            return SystemText(problem.systemCode);
        case OpenProblem::Kind::LineSettings:
            return QCoreApplication::translate("OpenProblemText",
                                               "не устанавливаются параметры порта");
        case OpenProblem::Kind::None:
            break;
    }
    return QCoreApplication::translate("OpenProblemText", "причина неизвестна");
}

}  // namespace k57
