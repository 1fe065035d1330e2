<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>CatalogueLoader</name>
    <message>
        <source>элемент &lt;%1&gt;</source>
        <translation>element &lt;%1&gt;</translation>
    </message>
    <message>
        <source>%1: нет атрибута &quot;%2&quot;</source>
        <translation>%1: no attribute &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1: атрибут &quot;%2&quot; не является целым числом</source>
        <translation>%1: attribute &quot;%2&quot; is not an integer</translation>
    </message>
    <message>
        <source>%1: неизвестный тип в атрибуте &quot;type&quot;</source>
        <translation>%1: unknown type in attribute &quot;type&quot;</translation>
    </message>
    <message>
        <source>ошибка парсера: %1</source>
        <translation>parser error: %1</translation>
    </message>
    <message>
        <source>Каталог параметров не загружен: %1</source>
        <translation>Parameter catalogue not loaded: %1</translation>
    </message>
</context>
<context>
    <name>Discovery</name>
    <message>
        <source>Порт:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Тип:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>Версия:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>Номер:</source>
        <translation>Serial:</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Устройство не найдено</source>
        <translation>Unit not found</translation>
    </message>
    <message>
        <source>Устройство найдено</source>
        <translation>Unit found</translation>
    </message>
</context>
<context>
    <name>EmbeddedImages</name>
    <message>
        <source>Встроенные данные не найдены: %1</source>
        <translation>Embedded data not found: %1</translation>
    </message>
    <message>
        <source>Образ прошивки слишком короткий: %1</source>
        <translation>Firmware image too short: %1</translation>
    </message>
</context>
<context>
    <name>SettingsMessages</name>
    <message>
        <source>нет такого параметра</source>
        <translation>no such parameter</translation>
    </message>
    <message>
        <source>%1 - не является целым цислом</source>
        <translation>%1 is not an integer</translation>
    </message>
    <message>
        <source>%1 - маловато будет.</source>
        <translation>%1 is too small</translation>
    </message>
    <message>
        <source>%1 - многовато будет.</source>
        <translation>%1 is too large</translation>
    </message>
    <message>
        <source>%1 - нет такого варианта</source>
        <translation>%1 is not one of the choices</translation>
    </message>
    <message>
        <source>Превышена длинна текста</source>
        <translation>Text too long</translation>
    </message>
    <message>
        <source>Маленькая длинна текста</source>
        <translation>Text too short</translation>
    </message>
    <message>
        <source>Значение содержит символы, которых нет в кодировке устройства (Windows-1251).</source>
        <translation>The value has characters that the unit&apos;s code page (Windows-1251) lacks.</translation>
    </message>
    <message>
        <source>строка не вида параметр=значение</source>
        <translation>not a parameter=value line</translation>
    </message>
    <message>
        <source>в строке нулевой байт</source>
        <translation>the line holds a NUL byte</translation>
    </message>
    <message>
        <source>параметр уже задан в строке %1</source>
        <translation>parameter already set on line %1</translation>
    </message>
    <message>
        <source>Значение не может содержать перевод строки</source>
        <translation>The value cannot contain a line break</translation>
    </message>
    <message>
        <source>(допустимо от %1 до %2)</source>
        <translation>(allowed %1 to %2)</translation>
    </message>
    <message>
        <source>(допустимая длина %1)</source>
        <translation>(length must be %1)</translation>
    </message>
    <message>
        <source>(допустимая длина до %1)</source>
        <translation>(length up to %1)</translation>
    </message>
    <message>
        <source>(допустимая длина от %1 до %2)</source>
        <translation>(length %1 to %2)</translation>
    </message>
    <message>
        <source>(не задано)</source>
        <translation>(not set)</translation>
    </message>
    <message>
        <source>%1 (нет в списке)</source>
        <translation>%1 (not in the list)</translation>
    </message>
</context>
<context>
    <name>TCanSignalsForm</name>
    <message>
        <source>Сигналы CAN</source>
        <translation>CAN signals</translation>
    </message>
    <message>
        <source>Загрузить DBC…</source>
        <translation>Load DBC…</translation>
    </message>
    <message>
        <source>Убрать все</source>
        <translation>Remove all</translation>
    </message>
    <message>
        <source>Сообщение / сигнал</source>
        <translation>Message / signal</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Ед.</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>Текст</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Биты</source>
        <translation>Bits</translation>
    </message>
    <message>
        <source>… и ещё %1</source>
        <translation>… and %1 more</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Файлы DBC не загружены</source>
        <translation>No DBC files loaded</translation>
    </message>
    <message numerus="yes">
        <source>%1 кадр.</source>
        <translation>
            <numerusform>%1 frame</numerusform>
            <numerusform>%1 frames</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TDiagnosticForm</name>
    <message>
        <source>График</source>
        <translation>Plot</translation>
    </message>
    <message>
        <source>X, Y и Z во времени, события отметками (Ctrl+G)</source>
        <translation>X, Y and Z over time, events as marks (Ctrl+G)</translation>
    </message>
</context>
<context>
    <name>TDiagnosticPlotForm</name>
    <message>
        <source>График датчика движения</source>
        <translation>Motion sensor plot</translation>
    </message>
    <message>
        <source>Запись…</source>
        <translation>Record…</translation>
    </message>
    <message>
        <source>Открыть запись…</source>
        <translation>Open recording…</translation>
    </message>
    <message>
        <source>Живые данные</source>
        <translation>Live data</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл %1: %2</source>
        <translation>Could not read file %1: %2</translation>
    </message>
    <message>
        <source>Остановить запись</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>Файл: %1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>Запись в %1</source>
        <translation>Recording to %1</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>MainForm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Порт подключения </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Номер порта к которому подключено устройства</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Определить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сканирование портов и поиск устройства</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обновить прошивку</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нажать для обновления прошивки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WaveUpdateButton</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Загрузить настройки из устройства</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Открыть файл с настройками</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Версия ПО</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Memo1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TParametersEditForm</name>
    <message>
        <source>текстовые файлы настроек | *.txt</source>
        <translation>settings text files | *.txt</translation>
    </message>
    <message>
        <source>Редактор параметров</source>
        <translation>Parameter editor</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Редактор параметров. Настройки изменены!</source>
        <translation>Parameter editor. Settings changed!</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write file %1: %2</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Записать настройки в устройство?</source>
        <translation>Write the settings to the unit?</translation>
    </message>
    <message>
        <source>Настройки не записаны: текст настроек длиннее %1 байт, устройство его не примет.</source>
        <translation>Settings not written: the settings text is longer than %1 bytes, the unit would not accept it.</translation>
    </message>
    <message>
        <source>Сообщение</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Настройки записаны.</source>
        <translation>Settings written.</translation>
    </message>
    <message>
        <source>Настройки изменены, выйти без сохранения?</source>
        <translation>Settings changed. Close without saving?</translation>
    </message>
    <message>
        <source>Записать в файл</source>
        <translation>Save to file</translation>
    </message>
    <message>
        <source>Записать в устройство</source>
        <translation>Write to unit</translation>
    </message>
    <message>
        <source>Выйти</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Название параметра</source>
        <translation>Parameter name</translation>
    </message>
    <message>
        <source>Формат SMS команды для изменения параметра</source>
        <translation>SMS command to change the parameter</translation>
    </message>
    <message>
        <source>Описание параметра</source>
        <translation>Parameter description</translation>
    </message>
</context>
<context>
    <name>VCOM_Port</name>
    <message>
        <source>Параметры порта %1, %2, Parity %3, StopBits %4</source>
        <translation>Port settings %1, %2, Parity %3, StopBits %4</translation>
    </message>
    <message>
        <source>Статус порта не досупен</source>
        <translation>Port status not available</translation>
    </message>
    <message>
        <source>Параметры порта не устанавливаются</source>
        <translation>Port settings cannot be applied</translation>
    </message>
    <message>
        <source>Параметры таймаута не устанавливаются</source>
        <translation>Timeout settings cannot be applied</translation>
    </message>
</context>
<context>
    <name>k57::PlotWidget</name>
    <message>
        <source>Пауза</source>
        <comment>the plot stands still</comment>
        <translation>Paused</translation>
    </message>
    <message>
        <source>Продолжить</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Показать всё</source>
        <translation>Show all</translation>
    </message>
    <message>
        <source>Автомасштаб</source>
        <translation>Autoscale</translation>
    </message>
    <message>
        <source>Сохранить как PNG…</source>
        <translation>Save as PNG…</translation>
    </message>
    <message>
        <source>Сохранить как CSV…</source>
        <translation>Save as CSV…</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1</source>
        <translation>Could not write file %1</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write file %1: %2</translation>
    </message>
</context>
</TS>
