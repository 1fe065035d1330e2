<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
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
</TS>
