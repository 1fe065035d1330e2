// The catalogue the program carries, held against the unit's parameter set.

#include <gtest/gtest.h>

#include "ParameterList.h"
#include "ShippedCatalogue.h"
#include "UnitBytes.h"

using k57::test::Cp1251;

namespace {

std::string ReadCatalogue() {
    return k57::test::ShippedCatalogue();
}

struct Row {
    const char* key;
    const char* group;
    ParameterType type;
    const char* enumName;
    const char* defaultValue;
    int32_t min, max;
    const char* name;
    const char* description;
};

const char kCom[] = "Настройки связи";
const char kNote[] = "Оповещения";
const char kSens[] = "Датчики и уставки";
const char kArm[] = "Постановка и снятие";
constexpr ParameterType S = ParameterType::String, N = ParameterType::Number,
                        E = ParameterType::Enum;
#define NOTE(n) "Параметры оповещения при событии \"" n "\""
#define SENS(w) "Чувствительность датчика " w ":\n1 - минимальная\n9 - максимальная\n0 - выключен"

const Row kRows[] = {
    {"PinCod", kCom, S, "", "", 4, 4, "Пин код ",
     "Пароль, он же PIN для SIM.\nЧетыре цифры, 5291 по умолчаню"},
    {"Balans", kCom, S, "", "", 5, 8, "Запрос баланса",
     "Содержимое USSD для запроса баланса\nНапример *100#"},
    {"UserNumber1", kCom, S, "", "", 12, 16, "Пользователь 1",
     "Сотовый номер первого пользователя.\nВ международном формате (+7 и еще 10 цифр)"},
    {"UserNumber2", kCom, S, "", "", 12, 16, "Пользователь 2",
     "Сотовый номер второго пользователя.\nВ международном формате (+7 и еще 10 цифр)"},
    {"UserNumber3", kCom, S, "", "", 12, 16, "Пользователь 3",
     "Сотовый номер третьего пользователя.\nВ международном формате (+7 и еще 10 цифр)"},
    {"UserNumber4", kCom, S, "", "", 12, 16, "Пользователь 4",
     "Сотовый номер четвертого пользователя.\nВ международном формате (+7 и еще 10 цифр)"},
    {"NameBT", kCom, S, "", "", 0, 32, "Имя хоста Bluetooth",
     "пользовательское имя хоста Bluetooth."},
    {"ImmoBT", kCom, S, "", "", 0, 64, "Bluetooth иммобилайзер",
     "Параметры Bluetooth для иммобилизации.\nОпределяются автоматически, не изменять!\nДля "
     "отключения иммобилизации сотрите строку."},
    {"MicLevel", kCom, N, "", "8", 1, 14, "Чувствительность микрофона",
     "Чувствительность микрофона.(1-14)"},
    {"CanMode", kCom, E, "can_mode", "1", 0, 1, "Режим CAN", "Hомер протокола CAN"},
    {"NoteSecurityOn", kNote, E, "note_value", "0", 0, 6, "Включение охраны",
     NOTE("Включение охраны")},
    {"NoteSecurityOff", kNote, E, "note_value", "0", 0, 6, "Отключение охраны",
     NOTE("Отключение охраны")},
    {"NoteKick", kNote, E, "note_value", "3", 0, 6, "Сработал датчик удара",
     NOTE("Сработал датчик удара")},
    {"NoteMove", kNote, E, "note_value", "3", 0, 6, "Сработал датчик движения",
     NOTE("Сработал датчик движения")},
    {"NoteSlope", kNote, E, "note_value", "3", 0, 6, "Сработал датчик наклона",
     NOTE("Сработал датчик наклона")},
    {"NoteBackDoor", kNote, E, "note_value", "3", 0, 6, "Открыт багажник", NOTE("Открыт багажник")},
    {"NoteHood", kNote, E, "note_value", "3", 0, 6, "Открыт капот", NOTE("Открыт капот")},
    {"NoteDoor", kNote, E, "note_value", "3", 0, 6, "Открыта дверь", NOTE("Открыта дверь")},
    {"NoteAccLow", kNote, E, "note_value", "1", 0, 6, "Аккумулятор разряжен",
     NOTE("Аккумулятор разряжен")},
    {"VebastoOn", kNote, E, "note_value", "0", 0, 6, "Vebasto работает",
     NOTE("Vebasto работает") ".\nСобытие генерируется при появлении сигнала высокого уровня на "
                              "входе К57.\""},
    {"VebastoOff", kNote, E, "note_value", "0", 0, 6, "Vebasto выключена",
     NOTE("Vebasto выключено") ".\nСобытие генерируется после отключения сигнала на выходе К57."},
    {"VebastoError", kNote, E, "note_value", "1", 0, 6, "Vebasto не запускается",
     NOTE("Vebasto не запускается") ".\nСобытие генерируется при отсутствии сигнала высокого "
                                    "уровня на входе К57 в течении 10с после включения Vebasto, "
                                    "или его преждевременном исчезновении."},
    {"KickSens", kSens, N, "", "7", 0, 9, "Чувствительность датчика удара", SENS("удара")},
    {"MoveSens", kSens, N, "", "7", 0, 9, "Чувствительность датчика движения", SENS("движения")},
    {"SlopeSens", kSens, N, "", "7", 0, 9, "Чувствительность датчика наклона", SENS("наклона")},
    {"AccLow", kSens, N, "", "10700", 10500, 12500, "Напряжение разряда аккумулятора",
     "Напряжение аккумулятора при котором он считается разряженным, мВ"},
    {"DoorDelay", kArm, N, "", "0", 0, 100, "Обход зоны дверей",
     "Обход зоны дверей на заданное время при включении охраны (0-100с).\nНапример при подключения "
     "входа дверей к цепи салонного света"},
    {"Stoper", kArm, E, "on_off_value", "0", 0, 1, "Блокировка двигателя",
     "Состояние блокировщика двигателя"},
};

TEST(ShippedCatalogue, IsStoredAsTheUnitsToolingStoresIt) {
    std::string bytes = ReadCatalogue();
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"ANSI\"?>\r\n", 0), 0u);
    for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
        ASSERT_EQ(bytes[at - 1], '\r') << "bare line feed at " << at;
    }
    EXPECT_NE(bytes.find(Cp1251("Настройки связи")), std::string::npos);
}

TEST(ShippedCatalogue, LoadsTheUnitsParameterSet) {
    ParameterList list(ReadCatalogue());
    ASSERT_EQ(list.loadError(), "");
    ASSERT_EQ(list.ParameterCount(), 28);
    for (int i = 0; i < 28; ++i) {
        const Row& row = kRows[i];
        const Parameter& p = list.ParameterAt(i);
        SCOPED_TRACE(row.key);
        EXPECT_EQ(p.key, row.key);
        EXPECT_EQ(p.groupName, Cp1251(row.group));
        EXPECT_EQ(p.type, row.type);
        EXPECT_EQ(p.enumName, row.enumName);
        EXPECT_EQ(p.defaultValue, row.defaultValue);
        EXPECT_EQ(p.min, row.min);
        EXPECT_EQ(p.max, row.max);
        EXPECT_EQ(p.name, Cp1251(row.name));
        EXPECT_EQ(p.description, Cp1251(row.description));
        EXPECT_EQ(p.value, "");
    }

    ASSERT_EQ(list.GroupCount(), 4);
    const char* groups[] = {kCom, kNote, kSens, kArm};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list.GroupAt(i).name, Cp1251(groups[i]));
        EXPECT_EQ(list.GroupAt(i).after, "");
    }
}

TEST(ShippedCatalogue, HasItsThreeEnumerations) {
    ParameterList list(ReadCatalogue());
    ASSERT_EQ(list.Enums().size(), 3u);
    const std::vector<std::vector<const char*>> items = {
        {"CAN выключен", "LADA Калина, Гранта", "Vesta", "XRay", "S500", "C250", "Qashqai 2012",
         "MazdaCX5 2014"},
        {"Не оповещать", "SMS активному абоненту", "Вызов активному абоненту",
         "SMS и вызов активному абоненту", "SMS всем абонентам", "Вызов всем абонентам",
         "SMS и вызов всем абонентаму"},
        {"Отключено", "Включено"}};
    const char* names[] = {"can_mode", "note_value", "on_off_value"};
    for (size_t e = 0; e < 3; ++e) {
        const EnumValueList& list_e = list.Enums()[e];
        EXPECT_EQ(list_e.name, names[e]);
        ASSERT_EQ(list_e.Count(), int(items[e].size()));
        for (size_t i = 0; i < items[e].size(); ++i) {
            EXPECT_EQ(list_e.items[i].value, int32_t(i));
            EXPECT_EQ(list_e.items[i].text, Cp1251(items[e][i]));
        }
    }
}

TEST(ShippedCatalogue, EnumBoundsDoNotLimitTheItems) {
    ParameterList list(ReadCatalogue());
    list.ResetToDefaults();
    list.SetValue("CanMode", "7");
    EXPECT_EQ(list.DisplayValue("CanMode"), Cp1251("MazdaCX5 2014"));
}

}  // namespace
