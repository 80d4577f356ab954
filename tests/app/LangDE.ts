<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Strings</name>
    <message>
        <source>English</source>
        <comment>14</comment>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>Could not find file. Please check the path!</source>
        <comment>61313</comment>
        <translation>Datei nicht gefunden. Bitte Pfad prüfen!</translation>
    </message>
</context>
</TS>
