#include "OpenProblemText.h"

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
            return "нет такого порта";
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return "порт занят другой программой";
        case ERROR_GEN_FAILURE:
        case ERROR_NOT_READY:
            return "устройство не работает";
        case ERROR_SEM_TIMEOUT:
            return "устройство не отвечает";
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEV_NOT_EXIST:
            return "устройство отключено";
#else
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "устройство отключено";
        case EACCES:
        case EPERM:
            return "нет прав на доступ к порту";
        case EBUSY:
            return "порт занят другой программой";
        case EIO:
            return "ошибка ввода-вывода";
        case EROFS:
            return "порт открыт только для чтения";
#endif
        default:
            return "системная ошибка " + QString::number(code);
    }
}

}  // namespace

QString OpenProblemText(const OpenProblem& problem) {
    switch (problem.kind) {
        case OpenProblem::Kind::NoSuchPort:
            return "нет такого порта";
        case OpenProblem::Kind::InUse:
            return "порт занят другой программой";
        case OpenProblem::Kind::System:
            return SystemText(problem.systemCode);
        case OpenProblem::Kind::LineSettings:
            return "не устанавливаются параметры порта";
        case OpenProblem::Kind::None:
            break;
    }
    return "причина неизвестна";
}

}  // namespace k57
