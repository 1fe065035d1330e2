#include "ValuesMessages.h"

#include "Cp1251.h"
#include "DeviceInterface.h"
#include "ProgramText.h"
#include "SettingsMessages.h"
#include "TextArguments.h"

namespace k57 {

namespace {

using Kind = ValuesProblem::Kind;

std::string Quoted(const std::string& windows1251) {
    return "\"" + cp1251::ToUtf8(windows1251) + "\"";
}

std::string Number(long long n) {
    return std::to_string(n);
}

}  // namespace

std::string ValuesProblemPlace(const ValuesProblem& problem) {
    std::string where;
    if (problem.row > 0) {
        where = WithArguments(K57_TR("ValuesMessages", "строка %1"), {Number(problem.row)});
    }
    if (problem.column > 0) {
        where += WithArguments(K57_TR("ValuesMessages", ", столбец %1"), {Number(problem.column)});
    }
    if (!problem.key.empty() && problem.kind != Kind::SerialNotFirst) {
        where += " (" + cp1251::ToUtf8(problem.key) + ")";
    }
    return where;
}

std::string ValuesWindowMessage(const ValuesProblem& problem) {
    switch (problem.kind) {
        case Kind::Unreadable:
            return problem.detail;
        case Kind::TooLarge:
            return WithArguments(
                K57_TR("ValuesMessages", "файл больше %1 МБ, это не файл значений"),
                {Number(ValuesFile::kMaxSize >> 20)});
        case Kind::TooManyRows:
            return WithArguments(
                K57_TR("ValuesMessages", "больше %1 строк блоков; разделите файл на несколько"),
                {Number(ValuesFile::kMaxUnits)});
        case Kind::UnclosedQuote:
            return K57_TR("ValuesMessages", "ячейка в кавычках не закрыта до конца файла");
        case Kind::TextAfterQuote:
            return K57_TR("ValuesMessages",
                          "после закрывающей кавычки ячейка продолжается (кавычка внутри "
                          "ячейки пишется дважды: \"\")");
        case Kind::NoUnits:
            return K57_TR("ValuesMessages", "после заголовка нет строк блоков");
        case Kind::SerialNotFirst:
            return problem.key.find(';') != std::string::npos
                       ? K57_TR("ValuesMessages",
                                "ячейки разделены \";\"; в файле значений разделитель \",\"")
                       : K57_TR("ValuesMessages", "первый столбец должен называться \"serial\"");
        case Kind::UnknownKey:
            if (problem.key == "serial") {
                return K57_TR("ValuesMessages", "\"serial\" должен быть первым столбцом");
            }
            return problem.key.empty() ? K57_TR("ValuesMessages", "пустое имя столбца")
                                       : WindowMessage(SettingsProblem::UnknownKey);
        case Kind::KeyTwice:
            return WithArguments(K57_TR("ValuesMessages", "уже задан в столбце %1"),
                                 {Number(problem.earlier)});
        case Kind::CellCount:
            return WithArguments(K57_TR("ValuesMessages", "ячеек: %1, а в заголовке: %2"),
                                 {Number(problem.count), Number(problem.earlier)});
        case Kind::NotASerial:
            return WithArguments(
                K57_TR("ValuesMessages", "%1 - не серийный номер (от 0 до 4294967295)"),
                {Quoted(problem.value)});
        case Kind::SerialTwice:
            return WithArguments(
                K57_TR("ValuesMessages", "серийный номер %1 уже задан в строке %2"),
                {Quoted(problem.value), Number(problem.earlier)});
        case Kind::NotInCodePage:
            return WindowMessage(SettingsProblem::NotInCodePage);
        case Kind::Value:
            return problem.rule ? WindowMessage(*problem.rule, problem.value) : std::string();
        case Kind::TextTooLong:
            return WithArguments(
                K57_TR("ValuesMessages",
                       "настройки блока вместе с шаблоном занимают %1 байт, а блок принимает "
                       "не больше %2"),
                {Number(problem.count), Number(kMaxSettingsText)});
        case Kind::SetsNothing:
            return K57_TR("ValuesMessages",
                          "настройки блока не задают ни одного параметра: его PIN-код и номера "
                          "телефонов были бы сброшены");
    }
    return {};
}

}  // namespace k57
