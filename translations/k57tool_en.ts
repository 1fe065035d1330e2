<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>BatchSummary</name>
    <message>
        <source>файл %1 уже есть, он оставлен как есть</source>
        <translation>the file %1 is there already; it was left as it is</translation>
    </message>
</context>
<context>
    <name>BatchUnit</name>
    <message>
        <source>порт закрылся: блок отключён</source>
        <translation>the port closed: the unit was unplugged</translation>
    </message>
    <message>
        <source>блок перестал отвечать</source>
        <translation>the unit stopped answering</translation>
    </message>
    <message>
        <source>блок ответил не то, что ожидалось</source>
        <translation>the unit&apos;s reply was not the one expected</translation>
    </message>
    <message>
        <source>запрос не отправлен</source>
        <translation>the request was not sent</translation>
    </message>
    <message>
        <source>блок не назвал серийный номер</source>
        <translation>the unit did not give its serial number</translation>
    </message>
    <message>
        <source>в файле значений нет строки для этого блока</source>
        <translation>the values file has no row for this unit</translation>
    </message>
    <message>
        <source>блок не тронут; добавьте его строку или отложите блок</source>
        <translation>the unit was not touched; add its row or set the unit aside</translation>
    </message>
    <message>
        <source>этот блок уже запрограммирован в этой партии</source>
        <translation>this unit was programmed in this batch already</translation>
    </message>
    <message>
        <source>блок не тронут; его строка не используется второй раз</source>
        <translation>the unit was not touched; its row is not used twice</translation>
    </message>
    <message>
        <source>блок с тем же серийным номером программируется на другом порту</source>
        <translation>a unit with the same serial number is being programmed on another port</translation>
    </message>
    <message>
        <source>проверьте серийные номера блоков</source>
        <translation>check the units&apos; serial numbers</translation>
    </message>
    <message>
        <source>настройки не прочитаны для резервной копии: %1</source>
        <translation>the settings could not be read for a backup: %1</translation>
    </message>
    <message>
        <source>журнал не принял резервную копию</source>
        <translation>the journal did not take the backup</translation>
    </message>
    <message>
        <source>ничего не записано; подключите блок заново</source>
        <translation>nothing was written; plug the unit in again</translation>
    </message>
    <message>
        <source>строка блока не израсходована; подключите его снова</source>
        <translation>the unit&apos;s row was not spent; plug it in again</translation>
    </message>
    <message>
        <source>нет резервной копии настроек; прошивка не обновлялась</source>
        <translation>no backup of the settings; the firmware was not updated</translation>
    </message>
    <message>
        <source>подключите блок заново</source>
        <translation>plug the unit in again</translation>
    </message>
    <message>
        <source>прошивка не обновлена: %1</source>
        <translation>the firmware was not updated: %1</translation>
    </message>
    <message>
        <source>подключите блок заново: обновление начнётся сначала</source>
        <translation>plug the unit in again: the update starts from the beginning</translation>
    </message>
    <message>
        <source>блок хранит другие значения: %1</source>
        <translation>the unit holds other values: %1</translation>
    </message>
    <message>
        <source>настройки не прочитаны обратно: %1</source>
        <translation>the settings could not be read back: %1</translation>
    </message>
    <message>
        <source>настройки не записаны: %1</source>
        <translation>the settings were not written: %1</translation>
    </message>
</context>
<context>
    <name>CanRecording</name>
    <message>
        <source>в записи больше %1 кадров</source>
        <translation>the recording holds more than %1 frames</translation>
    </message>
    <message>
        <source>в записи больше %1 идентификаторов</source>
        <translation>the recording holds more than %1 identifiers</translation>
    </message>
</context>
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
    <name>FileRead</name>
    <message>
        <source>это не обычный файл</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>файл больше %1 МБ</source>
        <translation>the file is larger than %1 MB</translation>
    </message>
    <message>
        <source>чтение прервано</source>
        <translation>reading interrupted</translation>
    </message>
    <message>
        <source>не удалось прочитать файл: %1</source>
        <translation>cannot read the file: %1</translation>
    </message>
    <message>
        <source>нет такого файла</source>
        <translation>no such file</translation>
    </message>
    <message>
        <source>нет прав на чтение файла</source>
        <translation>no permission to read the file</translation>
    </message>
</context>
<context>
    <name>GuardedChange</name>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Журнал обслуживания не ведётся, работа продолжается без него.

%1</source>
        <translation>The service journal is not being kept; work goes on without it.

%1</translation>
    </message>
    <message>
        <source>Не удалось прочитать настройки устройства для резервной копии.
Продолжить без резервной копии?</source>
        <translation>The unit&apos;s settings could not be read for a backup.
Continue without a backup?</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Настройки относятся к устройству %1, а подключено %2. Ничего не записано.</source>
        <translation>These settings belong to unit %1, but unit %2 is connected. Nothing was written.</translation>
    </message>
    <message>
        <source>неизвестное</source>
        <translation>an unknown one</translation>
    </message>
    <message>
        <source>Настройки после обновления не прочитаны; резервная копия — запись %1 журнала обслуживания.</source>
        <translation>The settings could not be read after the update; the backup is service journal entry %1.</translation>
    </message>
    <message>
        <source>Настройки изменились после обновления:
%1</source>
        <translation>The settings changed during the update:
%1</translation>
    </message>
    <message>
        <source>Настройки изменились после обновления:
%1

Восстановить настройки?</source>
        <translation>The settings changed during the update:
%1

Restore the settings?</translation>
    </message>
    <message>
        <source>Настройки не восстановлены.</source>
        <translation>The settings were not restored.</translation>
    </message>
    <message>
        <source>Настройки восстановлены из резервной копии.</source>
        <translation>The settings were restored from the backup.</translation>
    </message>
    <message>
        <source>Настройки не восстановлены: устройство не подключено или занято.</source>
        <translation>The settings were not restored: the unit is not connected or is busy.</translation>
    </message>
    <message>
        <source>Резервная копия не сохранена: журнал обслуживания недоступен.
Продолжить без резервной копии?</source>
        <translation>The backup was not kept: the service journal is not available.
Continue without a backup?</translation>
    </message>
    <message>
        <source>Настройки отправлены, но устройство хранит другие значения: %1.
Проверьте настройки: «Загрузить настройки из устройства».</source>
        <translation>The settings were sent, but the unit holds other values: %1.
Check the settings: &quot;Read settings from the unit&quot;.</translation>
    </message>
    <message>
        <source>Настройки отправлены, но прочитать их обратно не удалось: неизвестно, приняло ли их устройство.
Проверьте настройки: «Загрузить настройки из устройства».</source>
        <translation>The settings were sent, but they could not be read back: whether the unit took them is unknown.
Check the settings: &quot;Read settings from the unit&quot;.</translation>
    </message>
    <message>
        <source>Сообщение</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Настройки записаны и подтверждены: прочитанные из устройства совпадают.</source>
        <translation>Settings written and confirmed: those read back from the unit match.</translation>
    </message>
    <message>
        <source>устройство не ответило</source>
        <translation>the unit did not answer</translation>
    </message>
    <message>
        <source>ответ другого типа</source>
        <translation>a reply of another type</translation>
    </message>
    <message>
        <source>ответ не читается</source>
        <translation>the reply cannot be read</translation>
    </message>
    <message>
        <source>Не удалось прочитать настройки устройства для резервной копии (%1).
Продолжить без резервной копии?</source>
        <translation>The unit&apos;s settings could not be read for a backup (%1).
Continue without a backup?</translation>
    </message>
    <message>
        <source>%1: связь потеряна во время записи; прочитайте настройки, чтобы проверить</source>
        <translation>%1: the connection was lost during the write; read the settings to check</translation>
    </message>
</context>
<context>
    <name>JournalWords</name>
    <message>
        <source>перед записью настроек</source>
        <translation>before write settings</translation>
    </message>
    <message>
        <source>перед обновлением прошивки</source>
        <translation>before firmware update</translation>
    </message>
    <message>
        <source>перед обновлением звуков</source>
        <translation>before sound update</translation>
    </message>
    <message>
        <source>перед восстановлением настроек</source>
        <translation>before restore</translation>
    </message>
    <message>
        <source>после записи настроек</source>
        <translation>after write settings</translation>
    </message>
    <message>
        <source>после обновления прошивки</source>
        <translation>after firmware update</translation>
    </message>
    <message>
        <source>после обновления звуков</source>
        <translation>after sound update</translation>
    </message>
    <message>
        <source>после восстановления настроек</source>
        <translation>after restore</translation>
    </message>
    <message>
        <source>файл не читается</source>
        <translation>the file cannot be read</translation>
    </message>
    <message>
        <source>файл пуст</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>пакет скопирован не полностью</source>
        <translation>the package is truncated</translation>
    </message>
    <message>
        <source>файл слишком велик для пакета</source>
        <translation>the file is too large for a package</translation>
    </message>
    <message>
        <source>это не пакет обновления</source>
        <translation>not an update package</translation>
    </message>
    <message>
        <source>пакет для более новой программы</source>
        <translation>the package is for a newer version of the tool</translation>
    </message>
    <message>
        <source>после пакета лишние данные</source>
        <translation>extra bytes after the package</translation>
    </message>
    <message>
        <source>ключ подписи не доверенный</source>
        <translation>signed with a key that is not trusted</translation>
    </message>
    <message>
        <source>подпись не сходится</source>
        <translation>the signature does not match</translation>
    </message>
    <message>
        <source>описание пакета не читается</source>
        <translation>the package&apos;s manifest cannot be read</translation>
    </message>
    <message>
        <source>данные пакета изменены</source>
        <translation>the package&apos;s data were changed</translation>
    </message>
    <message>
        <source>пакет другого вида</source>
        <translation>a package of another kind</translation>
    </message>
    <message>
        <source>пакет для другого изделия</source>
        <translation>a package for another product</translation>
    </message>
    <message>
        <source>версия в прошивке не та, что в пакете</source>
        <translation>the firmware&apos;s own version differs from the package&apos;s</translation>
    </message>
    <message>
        <source>звуковые данные не сходятся</source>
        <translation>the sound data do not match their header</translation>
    </message>
    <message>
        <source>в устройстве версия новее</source>
        <translation>the unit&apos;s version is newer</translation>
    </message>
    <message>
        <source>версия устройства ниже той, что пакет заменяет</source>
        <translation>the unit&apos;s version is below the lowest the package replaces</translation>
    </message>
    <message>
        <source>пакет отклонён: %1</source>
        <translation>package refused: %1</translation>
    </message>
    <message>
        <source>пакет blake2b-256 %1</source>
        <translation>package blake2b-256 %1</translation>
    </message>
    <message>
        <source>, версия %1</source>
        <translation>, version %1</translation>
    </message>
    <message>
        <source>, ключ %1</source>
        <translation>, key %1</translation>
    </message>
    <message>
        <source>записано и подтверждено</source>
        <translation>written and confirmed</translation>
    </message>
    <message>
        <source>до устройства ничего не дошло</source>
        <translation>nothing reached the unit</translation>
    </message>
    <message>
        <source>прочитайте настройки устройства, чтобы узнать, что в нём</source>
        <translation>read the unit&apos;s settings to learn what it holds</translation>
    </message>
    <message>
        <source>поиск порта</source>
        <translation>port search</translation>
    </message>
    <message>
        <source>до начала</source>
        <translation>before the start</translation>
    </message>
    <message>
        <source>запрос версии остался без ответа</source>
        <translation>the version check got no reply</translation>
    </message>
    <message>
        <source>резервная копия записана обратно %1</source>
        <translation>backup written back %1</translation>
    </message>
    <message>
        <source>отправлено %1 из %2 фрагментов</source>
        <translation>%1 of %2 fragments sent</translation>
    </message>
    <message>
        <source>не подтверждено: устройство хранит другие значения параметров %1</source>
        <translation>not confirmed: the unit holds other values for %1</translation>
    </message>
    <message>
        <source>не подтверждено: настройки не прочитаны обратно (%1)</source>
        <translation>not confirmed: reading the settings back failed (%1)</translation>
    </message>
    <message>
        <source>партия %1: строка %2</source>
        <translation>batch %1: row %2</translation>
    </message>
    <message>
        <source>партия %1: шаблон</source>
        <translation>batch %1: template</translation>
    </message>
    <message>
        <source>из файла %1</source>
        <translation>from %1</translation>
    </message>
    <message>
        <source>задано значений: %1</source>
        <translation>%1 value(s) set</translation>
    </message>
    <message>
        <source>новый серийный номер %1</source>
        <translation>new serial number %1</translation>
    </message>
    <message>
        <source>опознание</source>
        <translation>identify</translation>
    </message>
    <message>
        <source>чтение настроек</source>
        <translation>read settings</translation>
    </message>
    <message>
        <source>запись настроек</source>
        <translation>write settings</translation>
    </message>
    <message>
        <source>обновление прошивки</source>
        <translation>firmware update</translation>
    </message>
    <message>
        <source>обновление звуков</source>
        <translation>sound update</translation>
    </message>
    <message>
        <source>смена серийного номера</source>
        <translation>set id</translation>
    </message>
    <message>
        <source>перезапуск</source>
        <translation>restart</translation>
    </message>
    <message>
        <source>восстановление настроек</source>
        <translation>restore</translation>
    </message>
    <message>
        <source>резервная копия</source>
        <translation>backup</translation>
    </message>
    <message>
        <source>успешно</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>нет ответа</source>
        <translation>no reply</translation>
    </message>
    <message>
        <source>порт недоступен</source>
        <translation>port unavailable</translation>
    </message>
    <message>
        <source>неверный ответ</source>
        <translation>bad reply</translation>
    </message>
    <message>
        <source>отказ устройства</source>
        <translation>refused</translation>
    </message>
    <message>
        <source>остановлено</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>не отправлено</source>
        <translation>not sent</translation>
    </message>
    <message>
        <source>окно</source>
        <translation>window</translation>
    </message>
    <message>
        <source>из записи %1</source>
        <translation>entry %1</translation>
    </message>
    <message>
        <source>до версии %1</source>
        <translation>target version %1</translation>
    </message>
</context>
<context>
    <name>MarksQuestion</name>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Отметки прошлой записи будут удалены. Продолжить?</source>
        <translation>Marks of the last capture will be deleted. Continue?</translation>
    </message>
</context>
<context>
    <name>OpenProblemText</name>
    <message>
        <source>нет такого порта</source>
        <translation>no such port</translation>
    </message>
    <message>
        <source>порт занят другой программой</source>
        <translation>the port is in use by another program</translation>
    </message>
    <message>
        <source>устройство не работает</source>
        <translation>the device is not working</translation>
    </message>
    <message>
        <source>устройство не отвечает</source>
        <translation>the device does not respond</translation>
    </message>
    <message>
        <source>устройство отключено</source>
        <translation>the device is disconnected</translation>
    </message>
    <message>
        <source>нет прав на доступ к порту</source>
        <translation>no permission to open the port</translation>
    </message>
    <message>
        <source>ошибка ввода-вывода</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>порт открыт только для чтения</source>
        <translation>the port is read-only</translation>
    </message>
    <message>
        <source>системная ошибка %1</source>
        <translation>system error %1</translation>
    </message>
    <message>
        <source>не устанавливаются параметры порта</source>
        <translation>the port settings cannot be applied</translation>
    </message>
    <message>
        <source>причина неизвестна</source>
        <translation>unknown reason</translation>
    </message>
    <message>
        <source>это не последовательный порт</source>
        <translation>not a serial port</translation>
    </message>
</context>
<context>
    <name>PackageText</name>
    <message>
        <source>Файл не читается.</source>
        <translation>The file cannot be read.</translation>
    </message>
    <message>
        <source>Файл пуст: пакета в нём нет.</source>
        <translation>The file is empty: there is no package in it.</translation>
    </message>
    <message>
        <source>Файл обрывается раньше конца пакета: он скопирован не полностью.</source>
        <translation>The file ends before the package does: it was not copied whole.</translation>
    </message>
    <message>
        <source>Файл больше, чем может быть пакет обновления.</source>
        <translation>The file is larger than an update package can be.</translation>
    </message>
    <message>
        <source>Это не пакет обновления K57.</source>
        <translation>This is not a K57 update package.</translation>
    </message>
    <message>
        <source>Пакет сделан для более новой версии программы: обновите программу.</source>
        <translation>The package was made for a newer version of this program: update the program.</translation>
    </message>
    <message>
        <source>После пакета в файле лишние данные.</source>
        <translation>The file holds more data after the package.</translation>
    </message>
    <message>
        <source>Пакет подписан ключом %1, которому здесь не доверяют.</source>
        <translation>The package is signed with key %1, which is not trusted here.</translation>
    </message>
    <message>
        <source>Подпись не сходится: пакет изменён или повреждён.</source>
        <translation>The signature does not hold: the package was changed or damaged.</translation>
    </message>
    <message>
        <source>Описание пакета не читается этой программой.</source>
        <translation>This program cannot read the package&apos;s description.</translation>
    </message>
    <message>
        <source>Данные пакета не те, что подписаны: пакет изменён или повреждён.</source>
        <translation>The package&apos;s data is not what was signed: the package was changed or damaged.</translation>
    </message>
    <message>
        <source>Пакет другого вида.</source>
        <translation>The package is of another kind.</translation>
    </message>
    <message>
        <source>Пакет сделан для %1, а не для %2.</source>
        <translation>The package was made for %1, not for %2.</translation>
    </message>
    <message>
        <source>Версия, записанная в самой прошивке, не совпадает с версией пакета.</source>
        <translation>The version written in the firmware itself is not the package&apos;s version.</translation>
    </message>
    <message>
        <source>Звуковые данные в пакете не сходятся со своим заголовком.</source>
        <translation>The sound data in the package does not match its own header.</translation>
    </message>
    <message>
        <source>В устройстве версия %1, новее, чем в пакете (%2).</source>
        <translation>The unit has version %1, newer than the package&apos;s (%2).</translation>
    </message>
    <message>
        <source>В устройстве версия %1, а пакет заменяет версии не ниже %2.</source>
        <translation>The unit has version %1, and the package replaces only %2 or newer.</translation>
    </message>
    <message>
        <source>Прошивка %1 для %2</source>
        <translation>Firmware %1 for %2</translation>
    </message>
    <message>
        <source>Звуковые данные %1 для %2</source>
        <translation>Sound data %1 for %2</translation>
    </message>
    <message>
        <source>Заменяет версии не ниже %1</source>
        <translation>Replaces version %1 or newer</translation>
    </message>
    <message>
        <source>Создан: %1</source>
        <translation>Made: %1</translation>
    </message>
    <message>
        <source>Подписан: ключ %1 (встроенный в программу)</source>
        <translation>Signed: key %1 (built into the program)</translation>
    </message>
    <message>
        <source>Подписан: ключ %1 (%2)</source>
        <translation>Signed: key %1 (%2)</translation>
    </message>
</context>
<context>
    <name>RussianPlural</name>
    <message numerus="yes">
        <source>%n байт</source>
        <translation>
            <numerusform>%n byte</numerusform>
            <numerusform>%n bytes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n записей</source>
        <translation>
            <numerusform>%n entry</numerusform>
            <numerusform>%n entries</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n записей ждут</source>
        <translation>
            <numerusform>%n entry waits</numerusform>
            <numerusform>%n entries wait</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SafeSave</name>
    <message>
        <source>это не обычный файл, он оставлен как есть</source>
        <translation>it is not a regular file and was left as it is</translation>
    </message>
    <message>
        <source>не удалось создать файл рядом с ним: %1</source>
        <translation>cannot create a file beside it: %1</translation>
    </message>
    <message>
        <source>запись не удалась: %1</source>
        <translation>write failed: %1</translation>
    </message>
    <message>
        <source>запись на диск не удалась: %1</source>
        <translation>writing to the disk failed: %1</translation>
    </message>
    <message>
        <source>не удалось заменить файл: %1</source>
        <translation>cannot replace the file: %1</translation>
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
    <message>
        <source>%1 - PIN-код: четыре цифры</source>
        <translation>%1 - PIN: four digits</translation>
    </message>
    <message>
        <source>%1 - номер телефона: + и цифры</source>
        <translation>%1 - phone number: + and digits</translation>
    </message>
</context>
<context>
    <name>SharingText</name>
    <message>
        <source>не было</source>
        <translation>never</translation>
    </message>
    <message>
        <source>(адрес не читается)</source>
        <translation>(the address cannot be read)</translation>
    </message>
    <message>
        <source> (задан в K57_JOURNAL_SERVER)</source>
        <translation> (set by K57_JOURNAL_SERVER)</translation>
    </message>
    <message>
        <source>Пока задана переменная K57_JOURNAL_SERVER, используется сервер из неё.</source>
        <translation>While K57_JOURNAL_SERVER is set, the server it names is used.</translation>
    </message>
    <message>
        <source>Сервер журнала: нет, только этот ПК</source>
        <translation>Journal server: none, this PC only</translation>
    </message>
    <message>
        <source>Сервер журнала: %1</source>
        <translation>Journal server: %1</translation>
    </message>
    <message>
        <source>Ждут отправки: неизвестно</source>
        <translation>Waiting to be sent: unknown</translation>
    </message>
    <message>
        <source>Ждут отправки: %1</source>
        <translation>Waiting to be sent: %1</translation>
    </message>
    <message>
        <source>Все записи отправлены</source>
        <translation>All entries sent</translation>
    </message>
    <message>
        <source>; отправка: %1; получение: %2</source>
        <translation>; last sent: %1; last received: %2</translation>
    </message>
    <message>
        <source>Журнал: %1 отправки на сервер</source>
        <translation>Journal: %1 to be sent to the server</translation>
    </message>
    <message>
        <source>Последняя попытка не удалась: %1</source>
        <translation>The last try failed: %1</translation>
    </message>
    <message>
        <source>Адрес сервера не читается: %1</source>
        <translation>The server&apos;s address cannot be read: %1</translation>
    </message>
    <message>
        <source>Не удалось записать настройки программы.</source>
        <translation>The program&apos;s settings could not be written.</translation>
    </message>
    <message>
        <source>Сервер журнала %1 задан, но сейчас не отвечает (%2). Записи будут ждать отправки, пока он не ответит.</source>
        <translation>The journal server %1 is set but does not answer now (%2). Entries will wait to be sent until it does.</translation>
    </message>
    <message>
        <source>Сервер журнала %1 задан и отвечает, но его журналом пользоваться нельзя: %2</source>
        <translation>The journal server %1 is set and answers, but its journal cannot be used: %2</translation>
    </message>
    <message>
        <source>Сервер журнала %1 задан и отвечает.</source>
        <translation>The journal server %1 is set and answers.</translation>
    </message>
    <message>
        <source>Сервер журнала не задан: журнал только этого ПК.</source>
        <translation>No journal server is set: the journal is this PC&apos;s alone.</translation>
    </message>
</context>
<context>
    <name>TCanHuntForm</name>
    <message>
        <source>Поиск сигнала</source>
        <translation>Signal hunt</translation>
    </message>
    <message>
        <source>Фильтр ID:</source>
        <translation>ID filter:</translation>
    </message>
    <message>
        <source>Снять отметки битов</source>
        <translation>Clear bit marks</translation>
    </message>
    <message>
        <source>строки</source>
        <translation>for this ID</translation>
    </message>
    <message>
        <source>дверь</source>
        <translation>door</translation>
    </message>
    <message>
        <source>Отметка (Пробел)</source>
        <translation>Mark (Space)</translation>
    </message>
    <message>
        <source>отметок: %1</source>
        <translation>marks: %1</translation>
    </message>
    <message>
        <source>Открыть запись…</source>
        <translation>Open a recording…</translation>
    </message>
    <message>
        <source>сразу</source>
        <translation>at once</translation>
    </message>
    <message>
        <source>Вид таблицы</source>
        <translation>Table view</translation>
    </message>
    <message>
        <source>тепло битов: как часто меняются</source>
        <translation>bit heat: how often they change</translation>
    </message>
    <message>
        <source>частота и период строк</source>
        <translation>rows&apos; rate and period</translation>
    </message>
    <message>
        <source>держать изменения</source>
        <translation>hold changes</translation>
    </message>
    <message>
        <source> с</source>
        <translation> s</translation>
    </message>
    <message>
        <source>молчащие ID как все</source>
        <translation>silent IDs as the rest</translation>
    </message>
    <message>
        <source>молчащие ID серые</source>
        <translation>silent IDs grey</translation>
    </message>
    <message>
        <source>молчащие ID скрыть</source>
        <translation>hide silent IDs</translation>
    </message>
    <message>
        <source>после </source>
        <translation>after </translation>
    </message>
    <message>
        <source>все ID</source>
        <translation>all IDs</translation>
    </message>
    <message>
        <source>Не удалось открыть файл %1: %2</source>
        <translation>Could not open the file %1: %2</translation>
    </message>
    <message>
        <source>Строк с ошибками: %1; первая: строка %2, %3</source>
        <translation>Lines with errors: %1; the first: line %2, %3</translation>
    </message>
    <message>
        <source>записи CAN (*.log *.asc *.csv *.trc *.blf);;candump (*.log);;Vector ASC (*.asc);;CSV (*.csv);;PCAN (*.trc);;Vector BLF (*.blf)</source>
        <translation>CAN recordings (*.log *.asc *.csv *.trc *.blf);;candump (*.log);;Vector ASC (*.asc);;CSV (*.csv);;PCAN (*.trc);;Vector BLF (*.blf)</translation>
    </message>
    <message>
        <source>Файл повреждён, прочитано до повреждения: %1</source>
        <translation>The file is damaged; read up to the damage: %1</translation>
    </message>
</context>
<context>
    <name>TCanMarksPanel</name>
    <message>
        <source>—</source>
        <translation>—</translation>
    </message>
    <message>
        <source>вверх</source>
        <translation>up</translation>
    </message>
    <message>
        <source>вниз</source>
        <translation>down</translation>
    </message>
    <message>
        <source>не изменился</source>
        <translation>unchanged</translation>
    </message>
    <message>
        <source>Как изменилось искомое значение в момент отметки</source>
        <translation>How the value you look for moved at the mark</translation>
    </message>
    <message>
        <source>время, с</source>
        <translation>time, s</translation>
    </message>
    <message>
        <source>подпись</source>
        <translation>label</translation>
    </message>
    <message>
        <source>изменение</source>
        <translation>move</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Отменить (Ctrl+Z)</source>
        <translation>Undo (Ctrl+Z)</translation>
    </message>
</context>
<context>
    <name>TCanMonitorForm</name>
    <message>
        <source>Сохранить в файл…</source>
        <translation>Save to file…</translation>
    </message>
    <message>
        <source>Сигналы DBC…</source>
        <translation>DBC signals…</translation>
    </message>
    <message>
        <source>Поиск сигнала…</source>
        <translation>Signal hunt…</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>%1: порт не открывается (%2)</source>
        <translation>%1: the port cannot be opened (%2)</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write the file %1: %2</translation>
    </message>
    <message>
        <source>Сохранить сигналы как DBC…</source>
        <translation>Save signals as DBC…</translation>
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
    <name>THistoryForm</name>
    <message>
        <source>Журнал обслуживания</source>
        <translation>Service journal</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Операция</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>Результат</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Порт</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Программа</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>Подробности</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Показать PIN и телефоны</source>
        <translation>Show PIN and phone numbers</translation>
    </message>
    <message>
        <source>Сравнить выбранные</source>
        <translation>Compare selected</translation>
    </message>
    <message>
        <source>Сравнить с устройством</source>
        <translation>Compare with the unit</translation>
    </message>
    <message>
        <source>Сохранить в файл…</source>
        <translation>Save to file…</translation>
    </message>
    <message>
        <source>Записать в устройство</source>
        <translation>Write to the unit</translation>
    </message>
    <message>
        <source>Экспорт CSV…</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <source>(настроек в записи нет)</source>
        <translation>(no settings in this entry)</translation>
    </message>
    <message>
        <source>Различий нет.</source>
        <translation>No differences.</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Выберите две записи для сравнения.</source>
        <translation>Select two entries to compare.</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>текстовые файлы настроек | *.txt</source>
        <translation>settings text files | *.txt</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write the file %1: %2</translation>
    </message>
    <message>
        <source>В этой записи нет настроек.</source>
        <translation>This entry holds no settings.</translation>
    </message>
    <message>
        <source>Записать в устройство настройки от %1?</source>
        <translation>Write the settings of %1 to the unit?</translation>
    </message>
    <message>
        <source>файлы CSV | *.csv</source>
        <translation>CSV files | *.csv</translation>
    </message>
    <message>
        <source>Журнал обслуживания прочитать не удалось.

%1</source>
        <translation>The service journal could not be read.

%1</translation>
    </message>
    <message>
        <source>ПК</source>
        <translation>PC</translation>
    </message>
    <message>
        <source>ПК: %1, пользователь: %2</source>
        <translation>PC: %1, user: %2</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Изменения относительно настроек от %1:</source>
        <translation>Changes against the settings of %1:</translation>
    </message>
    <message>
        <source>Записанные настройки:</source>
        <translation>Settings written:</translation>
    </message>
    <message>
        <source>(все значения по умолчанию)</source>
        <translation>(all values at their defaults)</translation>
    </message>
    <message>
        <source>Обновление до версии %1.</source>
        <translation>Update to version %1.</translation>
    </message>
    <message>
        <source>Обновление до версии %1 (в устройстве была %2).</source>
        <translation>Update to version %1 (the unit had %2).</translation>
    </message>
    <message>
        <source>Восстановлено из записи %1 (%2).</source>
        <translation>Restored from entry %1 (%2).</translation>
    </message>
    <message>
        <source>Восстановлено из записи %1 журнала ПК %2.</source>
        <translation>Restored from entry %1 of the journal of PC %2.</translation>
    </message>
    <message>
        <source>Восстановлено из записи %1.</source>
        <translation>Restored from entry %1.</translation>
    </message>
    <message>
        <source>Настройки перед операцией (резервная копия):</source>
        <translation>Settings before it (the backup):</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source> Порт подключения </source>
        <translation> Connection port </translation>
    </message>
    <message>
        <source>Номер порта к которому подключено устройства</source>
        <translation>The port the unit is connected to</translation>
    </message>
    <message>
        <source>Определить</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>Сканирование портов и поиск устройства</source>
        <translation>Scan the ports for the unit</translation>
    </message>
    <message>
        <source>Обновить прошивку</source>
        <translation>Update firmware</translation>
    </message>
    <message>
        <source>Нажать для обновления прошивки</source>
        <translation>Click to update the firmware</translation>
    </message>
    <message>
        <source>Загрузить настройки из устройства</source>
        <translation>Read settings from the unit</translation>
    </message>
    <message>
        <source>Открыть файл с настройками</source>
        <translation>Open a settings file</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Версия ПО</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>строка %1</source>
        <translation>line %1</translation>
    </message>
    <message>
        <source>файл больше 1 МБ, это не файл настроек</source>
        <translation>the file is larger than 1 MB, not a settings file</translation>
    </message>
    <message>
        <source>в файле есть нулевой байт, это не текстовый файл настроек</source>
        <translation>the file holds a NUL byte, not a settings text file</translation>
    </message>
    <message>
        <source>строка %1 длиннее %2</source>
        <translation>line %1 is longer than %2</translation>
    </message>
    <message>
        <source>Не удалось сохранить порт подключения.</source>
        <translation>Could not store the connection port.</translation>
    </message>
    <message>
        <source>%1     Версия: %2</source>
        <translation>%1     Version: %2</translation>
    </message>
    <message>
        <source>Обновить прошивку до %1</source>
        <translation>Update firmware to %1</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Поиск устройства остановлен.</source>
        <translation>Unit search stopped.</translation>
    </message>
    <message>
        <source>Устройство не найдено на портах COM2–COM254.</source>
        <translation>No unit found on ports COM2–COM254.</translation>
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
        <source>Устройство найдено на %1: %2, версия %3, серийный номер %4</source>
        <translation>Unit found on %1: %2, version %3, serial number %4</translation>
    </message>
    <message>
        <source>Устройство найдено</source>
        <translation>Unit found</translation>
    </message>
    <message>
        <source>и ещё %1</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>Загрузка не возможна</source>
        <translation>Cannot read</translation>
    </message>
    <message>
        <source>В настройках устройства есть недопустимые значения (они оставлены как есть):</source>
        <translation>The unit&apos;s settings hold invalid values (they are kept as they are):</translation>
    </message>
    <message>
        <source>текстовые файлы настроек | *.txt</source>
        <translation>settings text files | *.txt</translation>
    </message>
    <message>
        <source>Не удалось открыть файл %1: %2</source>
        <translation>Could not open the file %1: %2</translation>
    </message>
    <message>
        <source>В файле %1 есть недопустимые значения; у этих параметров оставлены значения по умолчанию:</source>
        <translation>The file %1 holds invalid values; these parameters keep their defaults:</translation>
    </message>
    <message>
        <source>Серийный номер устройства %1</source>
        <translation>Unit serial number %1</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Тип устройства   : %1</source>
        <translation>Unit type        : %1</translation>
    </message>
    <message>
        <source>Версия прошивки : %1</source>
        <translation>Firmware version : %1</translation>
    </message>
    <message>
        <source>%1: порт не открывается (%2)</source>
        <translation>%1: the port cannot be opened (%2)</translation>
    </message>
    <message>
        <source>%1: нет ответа за %2 с</source>
        <translation>%1: no reply within %2 s</translation>
    </message>
    <message>
        <source>%1: ответ другого типа (%2 вместо %3)</source>
        <translation>%1: a reply of another type (%2 instead of %3)</translation>
    </message>
    <message>
        <source>%1: ответ не читается (тип %2, %3)</source>
        <translation>%1: an unreadable reply (type %2, %3)</translation>
    </message>
    <message>
        <source>%1: текст настроек слишком длинный для устройства (%2)</source>
        <translation>%1: the settings text is too long for the unit (%2)</translation>
    </message>
    <message>
        <source>%1: ожидание ответа… %2 с</source>
        <translation>%1: waiting for a reply… %2 s</translation>
    </message>
    <message>
        <source>Сохранить журнал…</source>
        <translation>Save log…</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Журнал обслуживания…</source>
        <translation>Service journal…</translation>
    </message>
    <message>
        <source>Трассировка обмена…</source>
        <translation>Link trace…</translation>
    </message>
    <message>
        <source>Сохранить отчёт для поддержки…</source>
        <translation>Save a report for support…</translation>
    </message>
    <message>
        <source>текстовые файлы | *.txt</source>
        <translation>text files | *.txt</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write the file %1: %2</translation>
    </message>
    <message>
        <source>Язык (Language)</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Как в системе</source>
        <translation>As the system</translation>
    </message>
    <message>
        <source>Сообщение</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Язык сменится при следующем запуске программы.</source>
        <translation>The language changes the next time the program starts.</translation>
    </message>
    <message>
        <source>%1 с</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>фрагментов: %1 из %2</source>
        <translation>%1 of %2 fragments</translation>
    </message>
    <message>
        <source>Обновление отменено</source>
        <translation>Update cancelled</translation>
    </message>
    <message>
        <source>После обновления возможно произойдет сброс настроек.
Рекомендуется сохранить текущие настройки. (Кнопка &quot;Сохранить в файл&quot;).
Начать обновление ?</source>
        <translation>The update may reset the settings.
Saving the current settings first is recommended (the &quot;Save to file&quot; button).
Start the update?</translation>
    </message>
    <message>
        <source>Произвести загрузку звуковых данных?
Старые данные будут удалены безвозвратно!</source>
        <translation>Write the sound data?
The old data will be erased for good!</translation>
    </message>
    <message>
        <source>Подготовка к записи, ждите...</source>
        <translation>Preparing to write, please wait...</translation>
    </message>
    <message>
        <source>%1: остановлено до начала передачи, ничего не передано.</source>
        <translation>%1: stopped before the transfer began, nothing was sent.</translation>
    </message>
    <message>
        <source>Устройство уже содержит новейшую или равную версию.
                         Обновлять или нет?

В устройстве: %1, в программе: %2.</source>
        <translation>The unit already has the same or a newer version.
Update anyway?

In the unit: %1, in the program: %2.</translation>
    </message>
    <message>
        <source>Подготовка к обновлению, ждите ...</source>
        <translation>Preparing the update, please wait ...</translation>
    </message>
    <message>
        <source>Загрузка новой версии программы ...</source>
        <translation>Writing the new firmware ...</translation>
    </message>
    <message>
        <source>Идет запись звуковых данных...</source>
        <translation>Writing the sound data...</translation>
    </message>
    <message>
        <source>%1 %  ·  %2 КБ/с  ·  осталось %3</source>
        <translation>%1 %  ·  %2 KB/s  ·  %3 left</translation>
    </message>
    <message>
        <source>Обновить звук до %1</source>
        <translation>Update sound to %1</translation>
    </message>
    <message>
        <source>Обновление не начато: устройство не ответило. Проверьте подключение и порт.</source>
        <translation>Update not started: the unit did not answer. Check the connection and the port.</translation>
    </message>
    <message>
        <source>%1: ответ на запрос версии не разбирается</source>
        <translation>%1: the reply to the version request cannot be read</translation>
    </message>
    <message>
        <source>Обновление не начато: версия устройства не разбирается.</source>
        <translation>Update not started: the unit&apos;s version cannot be read.</translation>
    </message>
    <message>
        <source>Обновление не начато: в устройстве уже версия %1.</source>
        <translation>Update not started: the unit already has version %1.</translation>
    </message>
    <message>
        <source>%1: устройство не начало обновление, ничего не передано. Проверьте подключение и повторите.</source>
        <translation>%1: the unit did not start the update, nothing was sent. Check the connection and try again.</translation>
    </message>
    <message>
        <source>Ошибка при передачи данных</source>
        <translation>Data transfer error</translation>
    </message>
    <message>
        <source>%1: фрагмент %2 из %3 не подтверждён, ничего не записано. Проверьте подключение и повторите обновление: оно начнётся сначала.</source>
        <translation>%1: fragment %2 of %3 was not acknowledged, nothing was written. Check the connection and run the update again: it starts from the beginning.</translation>
    </message>
    <message>
        <source>Ошибка обновления.</source>
        <translation>Update error.</translation>
    </message>
    <message>
        <source>Нет подтвеждения CRC</source>
        <translation>CRC not confirmed</translation>
    </message>
    <message>
        <source>%1: устройство не подтвердило контрольную сумму (передано %2). Повторите обновление: оно начнётся сначала.</source>
        <translation>%1: the unit did not confirm the checksum (sent %2). Run the update again: it starts from the beginning.</translation>
    </message>
    <message>
        <source>%1: остановлено, передано %2. Повторите обновление, чтобы записать всё.</source>
        <translation>%1: stopped, sent %2. Run the update again to write it all.</translation>
    </message>
    <message>
        <source>Загрузка закончена. Передано %1 за %2.</source>
        <translation>Update finished. Sent %1 in %2.</translation>
    </message>
    <message>
        <source>Звуковые данные записаны. Передано %1 за %2.</source>
        <translation>Sound data written. Sent %1 in %2.</translation>
    </message>
    <message>
        <source>Данные успешно записаны.</source>
        <translation>Data written successfully.</translation>
    </message>
    <message>
        <source>Идет обновление. Прервать?</source>
        <translation>An update is running. Abort it?</translation>
    </message>
    <message>
        <source>В файле %1 не задан ни один параметр: записанный в устройство, он вернёт все настройки, включая PIN-код и телефоны, к значениям по умолчанию.
Открыть его?</source>
        <translation>The file %1 sets no parameter: written to the unit, it would return every setting, the PIN and the phone numbers included, to its default.
Open it?</translation>
    </message>
    <message>
        <source>Партия…</source>
        <translation>Batch…</translation>
    </message>
    <message>
        <source>Обновить из файла…</source>
        <translation>Update from a file…</translation>
    </message>
    <message>
        <source>пакеты обновления | *.k57pkg</source>
        <translation>update packages | *.k57pkg</translation>
    </message>
    <message>
        <source>Записать звуковые данные из пакета %1?

%2

Старые данные будут удалены безвозвратно!</source>
        <translation>Write the sound data from package %1?

%2

The old data will be erased for good!</translation>
    </message>
    <message>
        <source>Обновить прошивку из пакета %1?

%2

После обновления возможно произойдет сброс настроек.
Рекомендуется сохранить текущие настройки. (Кнопка &quot;Сохранить в файл&quot;).</source>
        <translation>Update the firmware from package %1?

%2

The update may reset the settings.
Saving the current settings first is recommended (the &quot;Save to file&quot; button).</translation>
    </message>
    <message>
        <source>Пакет %1 проверен: версия %2, ключ %3.</source>
        <translation>Package %1 verified: version %2, key %3.</translation>
    </message>
    <message>
        <source>Проверенные звуковые данные не удалось сохранить во временный файл: %1</source>
        <translation>The verified sound data could not be kept in a temporary file: %1</translation>
    </message>
    <message>
        <source>Пакет %1 отклонён: %2 Устройству ничего не передано.</source>
        <translation>Package %1 refused: %2 Nothing was sent to the unit.</translation>
    </message>
    <message>
        <source>Пакет %1 отклонён.
%2</source>
        <translation>Package %1 refused.
%2</translation>
    </message>
    <message>
        <source>В устройстве версия %1, новее, чем в пакете (%2).
Установить более старую версию?</source>
        <translation>The unit has version %1, newer than the package&apos;s (%2).
Install the older version?</translation>
    </message>
    <message>
        <source>Сохранено в файл %1</source>
        <translation>Saved to file %1</translation>
    </message>
    <message>
        <source>%1: связь потеряна; подключите устройство и повторите</source>
        <translation>%1: the connection was lost; plug the unit in and try again</translation>
    </message>
    <message>
        <source>%1: связь потеряна во время обновления; подключите устройство и повторите обновление</source>
        <translation>%1: the connection was lost during the update; plug the unit in and repeat the update</translation>
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
    <message>
        <source>Все параметры имеют значения по умолчанию: записанные в устройство, они сбросят все его настройки, включая PIN-код и телефоны.
Записать?</source>
        <translation>Every parameter is at its default: written to the unit, they would reset all its settings, the PIN and the phone numbers included.
Write them?</translation>
    </message>
    <message>
        <source>Настройки сохранены в файл %1</source>
        <translation>Settings saved to %1</translation>
    </message>
</context>
<context>
    <name>TSharingBar</name>
    <message>
        <source>Синхронизировать</source>
        <translation>Sync</translation>
    </message>
    <message>
        <source>postgresql://пользователь@сервер/k57 (пусто: без сервера)</source>
        <translation>postgresql://user@server/k57 (empty: no server)</translation>
    </message>
    <message>
        <source>Подключить…</source>
        <translation>Connect…</translation>
    </message>
    <message>
        <source>Журнал обслуживания</source>
        <translation>Service journal</translation>
    </message>
</context>
<context>
    <name>TTraceForm</name>
    <message>
        <source>Трассировка обмена</source>
        <translation>Link trace</translation>
    </message>
    <message>
        <source>Найти…</source>
        <translation>Find…</translation>
    </message>
    <message>
        <source>Найти</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Показывать PIN-код и телефоны</source>
        <translation>Show PIN and phone numbers</translation>
    </message>
    <message>
        <source>В новых записях трассировки PIN-код SIM-карты и номера телефонов будут видны полностью</source>
        <translation>New trace entries will show the SIM PIN and the phone numbers in full</translation>
    </message>
</context>
<context>
    <name>UnitCertificate</name>
    <message>
        <source>папка %1 не создана: %2</source>
        <translation>the folder %1 was not made: %2</translation>
    </message>
    <message>
        <source>успешно</source>
        <translation>successful</translation>
    </message>
    <message>
        <source>ошибка</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>пропущен</source>
        <translation>skipped</translation>
    </message>
    <message>
        <source>Тип блока</source>
        <translation>Unit type</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Прошивка до</source>
        <translation>Firmware before</translation>
    </message>
    <message>
        <source>Прошивка после</source>
        <translation>Firmware after</translation>
    </message>
    <message>
        <source>Результат</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Проверка чтением</source>
        <translation>Read-back check</translation>
    </message>
    <message>
        <source>подтверждена</source>
        <translation>confirmed</translation>
    </message>
    <message>
        <source>не подтверждена</source>
        <translation>not confirmed</translation>
    </message>
    <message>
        <source>Причина</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>Что делать</source>
        <translation>What to do</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Порт</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Компьютер</source>
        <translation>PC</translation>
    </message>
    <message>
        <source>Пользователь</source>
        <translation>User</translation>
    </message>
    <message>
        <source>Партия</source>
        <translation>Batch</translation>
    </message>
    <message>
        <source>Шаблон</source>
        <translation>Template</translation>
    </message>
    <message>
        <source>Файл значений</source>
        <translation>Values file</translation>
    </message>
    <message>
        <source>Строка файла значений</source>
        <translation>Values file row</translation>
    </message>
    <message>
        <source>нет, только шаблон</source>
        <translation>none, the template alone</translation>
    </message>
    <message>
        <source>Запись журнала</source>
        <translation>Journal entry</translation>
    </message>
    <message>
        <source>Сертификат программирования блока</source>
        <translation>Unit programming certificate</translation>
    </message>
    <message>
        <source>Записанные настройки</source>
        <translation>Settings written</translation>
    </message>
    <message>
        <source>Параметр</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Настройки не записывались.</source>
        <translation>No settings were written.</translation>
    </message>
    <message>
        <source>PIN-код и номера телефонов скрыты.</source>
        <translation>The PIN and the phone numbers are masked.</translation>
    </message>
    <message>
        <source>PDF не построен: программе недоступны шрифты</source>
        <translation>the PDF was not made: the program has no fonts</translation>
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
    <name>ValuesMessages</name>
    <message>
        <source>строка %1</source>
        <translation>row %1</translation>
    </message>
    <message>
        <source>, столбец %1</source>
        <translation>, column %1</translation>
    </message>
    <message>
        <source>файл больше %1 МБ, это не файл значений</source>
        <translation>larger than %1 MB, not a values file</translation>
    </message>
    <message>
        <source>больше %1 строк блоков; разделите файл на несколько</source>
        <translation>more than %1 rows of units; split it into several files</translation>
    </message>
    <message>
        <source>ячейка в кавычках не закрыта до конца файла</source>
        <translation>a quoted cell is not closed before the end of the file</translation>
    </message>
    <message>
        <source>после закрывающей кавычки ячейка продолжается (кавычка внутри ячейки пишется дважды: &quot;&quot;)</source>
        <translation>a quoted cell goes on after its closing quote (a quote inside one is written twice: &quot;&quot;)</translation>
    </message>
    <message>
        <source>после заголовка нет строк блоков</source>
        <translation>no rows of units after the header</translation>
    </message>
    <message>
        <source>ячейки разделены &quot;;&quot;; в файле значений разделитель &quot;,&quot;</source>
        <translation>the cells are separated by &quot;;&quot;; the values file takes &quot;,&quot;</translation>
    </message>
    <message>
        <source>первый столбец должен называться &quot;serial&quot;</source>
        <translation>the first column must be &quot;serial&quot;</translation>
    </message>
    <message>
        <source>&quot;serial&quot; должен быть первым столбцом</source>
        <translation>&quot;serial&quot; must be the first column</translation>
    </message>
    <message>
        <source>пустое имя столбца</source>
        <translation>an empty column name</translation>
    </message>
    <message>
        <source>уже задан в столбце %1</source>
        <translation>given in column %1 already</translation>
    </message>
    <message>
        <source>ячеек: %1, а в заголовке: %2</source>
        <translation>%1 cell(s) where the header has %2</translation>
    </message>
    <message>
        <source>%1 - не серийный номер (от 0 до 4294967295)</source>
        <translation>%1 is not a serial number (0 to 4294967295)</translation>
    </message>
    <message>
        <source>серийный номер %1 уже задан в строке %2</source>
        <translation>serial number %1 is given by row %2 already</translation>
    </message>
    <message>
        <source>настройки блока вместе с шаблоном занимают %1 байт, а блок принимает не больше %2</source>
        <translation>the unit&apos;s settings come to %1 bytes with the template&apos;s; the unit takes at most %2</translation>
    </message>
    <message>
        <source>настройки блока не задают ни одного параметра: его PIN-код и номера телефонов были бы сброшены</source>
        <translation>the unit&apos;s settings would set no parameter: its PIN and phone numbers would be reset</translation>
    </message>
</context>
<context>
    <name>WindowTexts</name>
    <message>
        <source>Устройство не подключено или занято</source>
        <translation>The unit is not connected or is busy</translation>
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
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write file %1: %2</translation>
    </message>
    <message>
        <source>не удалось построить картинку</source>
        <translation>cannot draw the picture</translation>
    </message>
</context>
</TS>
