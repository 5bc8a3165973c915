<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CCorvalinDlg</name>
    <message>
        <source>&amp;Expresssion</source>
        <extracomment>Spelled with three s on purpose: keep that spelling in the source.</extracomment>
        <translation>&amp;Ausdruck</translation>
    </message>
    <message>
        <source>&amp;Result</source>
        <translation>&amp;Resultat</translation>
    </message>
    <message>
        <source>&amp;Calculate</source>
        <translation>&amp;Rechnen</translation>
    </message>
    <message>
        <source>&amp;Clear history</source>
        <translation>&amp;Verlauf löschen</translation>
    </message>
    <message>
        <source>263, 48, 50, 14</source>
        <extracomment>Place of the Clear history button: x, y, width, height in dialog units. Move it left and widen it when the button&apos;s text needs more room.</extracomment>
        <translation>253, 48, 60, 14</translation>
    </message>
    <message>
        <source>&amp;Memories</source>
        <translation>&amp;Speicher</translation>
    </message>
    <message>
        <source>&amp;Show results of last calculation only (requires recalculation)</source>
        <extracomment>The German text reads &quot;letzen Ausdruks&quot; on purpose: keep that spelling.</extracomment>
        <translation>&amp;Nur Speicher des letzen Ausdruks zeigen (erneut berechnen notwendig)</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Out</source>
        <translation>Out</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Korvel</source>
        <translation>Der Korvel</translation>
    </message>
</context>
<context>
    <name>MemoryListModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Automatic calculation</source>
        <translation>Automatische Ableitung</translation>
    </message>
</context>
</TS>
