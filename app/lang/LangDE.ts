<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Plug-ins</source>
        <translation>Plug-ins</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>CCDCopy</name>
    <message>
        <source>Select all</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>CD-Drive:</source>
        <translation>CD-Laufwerk:</translation>
    </message>
    <message>
        <source>Tracks:</source>
        <translation>Titel:</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>Reading:</source>
        <translation>Lesen:</translation>
    </message>
    <message>
        <source>Encoding:</source>
        <translation>Kodieren:</translation>
    </message>
    <message>
        <source>No CD-Drive installed.</source>
        <translation>Kein CD-Laufwerk installiert.</translation>
    </message>
    <message>
        <source>WAVE</source>
        <translation>WAVE</translation>
    </message>
    <message>
        <source>MP3 (%1)</source>
        <translation>MP3 (%1)</translation>
    </message>
    <message>
        <source>Audio (*%1)</source>
        <translation>Audio (*%1)</translation>
    </message>
    <message>
        <source>Please choose first a valid encoder!</source>
        <translation>Bitte wählen Sie zuerst einen gültigen Encoder!</translation>
    </message>
    <message>
        <source>%1 (track %2 of %3)</source>
        <translation>%1 (Titel %2 von %3)</translation>
    </message>
    <message>
        <source>A file with this name already exists. Overwrite file?</source>
        <translation>Eine Datei mit diesem Namen existiert bereits. Datei überschreiben?</translation>
    </message>
    <message>
        <source>Grabbing succesfully.</source>
        <translation>Erfolgreich kopiert.</translation>
    </message>
    <message>
        <source>Speed: </source>
        <translation>Geschwindigkeit: </translation>
    </message>
</context>
<context>
    <name>CChooseDriveLetter</name>
    <message>
        <source>Please choose the correct letter for the following drive!</source>
        <translation>Bitte wählen Sie den richtigen Buchstaben für das folgende Laufwerk!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CDirTree</name>
    <message>
        <source>Computer</source>
        <translation>Computer</translation>
    </message>
</context>
<context>
    <name>CDisplay</name>
    <message>
        <source>Font Create Error</source>
        <translation>Fehler beim Erstellen der Schrift</translation>
    </message>
    <message>
        <source>drawState fails</source>
        <translation>Zustandssymbol kann nicht gezeichnet werden</translation>
    </message>
</context>
<context>
    <name>CEditServer</name>
    <message>
        <source>Retrieve Server List</source>
        <translation>Serverliste abrufen</translation>
    </message>
    <message>
        <source>Add New Server</source>
        <translation>Neuen Server hinzufügen</translation>
    </message>
    <message>
        <source>Delete Server</source>
        <translation>Server löschen</translation>
    </message>
    <message>
        <source>Server Details</source>
        <translation>Serverdetails</translation>
    </message>
    <message>
        <source>Domain:</source>
        <translation>Domain:</translation>
    </message>
    <message>
        <source>Path:</source>
        <translation>Pfad:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Standort:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Please enter an integer between 1 and 65534.</source>
        <translation>Bitte geben Sie eine ganze Zahl zwischen 1 und 65534 ein.</translation>
    </message>
</context>
<context>
    <name>CEncACM</name>
    <message>
        <source>Audio-Compression Manager (V2.0)</source>
        <translation>Audiokomprimierungs-Manager (V2.0)</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Codec</source>
        <translation>Codec</translation>
    </message>
    <message>
        <source>Output in PCM-Wave-Format
44,1 kHz
Stereo
16 bit</source>
        <translation>Ausgabe im PCM-Wave-Format
44,1 kHz
Stereo
16 Bit</translation>
    </message>
    <message>
        <source>Error writing wave-header!</source>
        <translation>Fehler beim Schreiben des Wave-Headers!</translation>
    </message>
</context>
<context>
    <name>CEncLame</name>
    <message>
        <source>Wrong Encoder-DLL &quot;%1&quot; found! Please use only the original LAME-DLL, which has the BladeEnc-Format. </source>
        <translation>Falsche Encoder-DLL „%1“ gefunden! Bitte verwenden Sie nur die originale LAME-DLL im BladeEnc-Format. </translation>
    </message>
    <message>
        <source>MPEG 1</source>
        <translation>MPEG 1</translation>
    </message>
    <message>
        <source>MPEG 2</source>
        <translation>MPEG 2</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <source>Joint-Stereo</source>
        <translation>Joint-Stereo</translation>
    </message>
    <message>
        <source>Dual-Channel</source>
        <translation>Zweikanal</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>Copyright</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <source>CRC</source>
        <translation>CRC</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Private</source>
        <translation>Privat</translation>
    </message>
    <message>
        <source>VBR Header</source>
        <translation>VBR-Header</translation>
    </message>
    <message>
        <source>VBR</source>
        <translation>VBR</translation>
    </message>
    <message>
        <source>VBR Settings</source>
        <translation>VBR-Einstellungen</translation>
    </message>
    <message>
        <source>Compression </source>
        <translation>Kompression </translation>
    </message>
    <message>
        <source>Bitrate</source>
        <translation>Bitrate</translation>
    </message>
    <message>
        <source>MPEG Version</source>
        <translation>MPEG-Version</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modus</translation>
    </message>
    <message>
        <source>Lame Encoder DLL (V %1.%2)</source>
        <translation>Lame-Encoder-DLL (V %1.%2)</translation>
    </message>
</context>
<context>
    <name>CErrorReportDetails</name>
    <message>
        <source>Error Details</source>
        <translation>Fehlerdetails</translation>
    </message>
    <message>
        <source>Additional to this file, a dump file will be saved. These files allow the developer to locate the bug which caused the crash. If you send the created zip file to</source>
        <translation>Zusätzlich zu dieser Datei wird eine Dump-Datei gespeichert. Mit diesen Dateien kann der Entwickler den Fehler finden, der den Absturz verursacht hat. Wenn Sie die erstellte ZIP-Datei an</translation>
    </message>
    <message>
        <source> a fix will be provided as soon as possible!</source>
        <translation> senden, wird der Fehler so schnell wie möglich behoben!</translation>
    </message>
</context>
<context>
    <name>CErrorReportDlg</name>
    <message>
        <source>Melvo - multimedia player has encountered a problem and needs to close. We are sorry for the inconvenience.</source>
        <translation>Melvo - Multimedia-Player hat ein Problem festgestellt und muss beendet werden. Bitte entschuldigen Sie die Unannehmlichkeiten.</translation>
    </message>
    <message>
        <source>Please tell the developer about this problem.</source>
        <translation>Bitte informieren Sie den Entwickler über dieses Problem.</translation>
    </message>
    <message>
        <source>If you were in the middle of something, the information you were working on might be lost.</source>
        <translation>Falls Sie gerade etwas bearbeitet haben, sind die Daten, an denen Sie gearbeitet haben, möglicherweise verloren.</translation>
    </message>
    <message>
        <source>We have created an error report that you can send to us. We will treat this report confidential and anonymous. Please send this report via e-mail to</source>
        <translation>Wir haben einen Fehlerbericht erstellt, den Sie uns senden können. Wir behandeln diesen Bericht vertraulich und anonym. Bitte senden Sie den Bericht per E-Mail an</translation>
    </message>
    <message>
        <source>To see what data this error report contains, click on &quot;Show Error Details&quot;.</source>
        <translation>Klicken Sie auf „Fehlerdetails anzeigen“, um zu sehen, welche Daten dieser Fehlerbericht enthält.</translation>
    </message>
    <message>
        <source>Show Error Details</source>
        <translation>Fehlerdetails anzeigen</translation>
    </message>
    <message>
        <source>&amp;Save Error Report</source>
        <translation>Fehlerbericht &amp;speichern</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>ZIP-Archive (*.zip)</source>
        <translation>ZIP-Archiv (*.zip)</translation>
    </message>
</context>
<context>
    <name>CFreedbRequest</name>
    <message>
        <source>WinInet Error #%1:
%2</source>
        <translation>WinInet-Fehler #%1:
%2</translation>
    </message>
</context>
<context>
    <name>CFunctions</name>
    <message>
        <source>Mode</source>
        <translation>Modus</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Random</source>
        <translation>Zufall</translation>
    </message>
    <message>
        <source>Repeat Title</source>
        <translation>Titel wiederholen</translation>
    </message>
    <message>
        <source>Repeat All</source>
        <translation>Alle wiederholen</translation>
    </message>
    <message>
        <source>Intro</source>
        <translation>Anspielen</translation>
    </message>
    <message>
        <source>Properties...</source>
        <translation>Eigenschaften...</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>&amp;Melvo</source>
        <translation>&amp;Melvo</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Optionen...</translation>
    </message>
    <message>
        <source>Volume Control...</source>
        <translation>Lautstärkeregelung...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Functions</source>
        <translation>&amp;Funktionen</translation>
    </message>
    <message>
        <source>Grab CD...</source>
        <translation>CD kopieren...</translation>
    </message>
    <message>
        <source>&amp;freedb Request</source>
        <translation>&amp;freedb-Abfrage</translation>
    </message>
    <message>
        <source>&amp;Title</source>
        <translation>&amp;Titel</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Abspielen</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>&amp;Stopp</translation>
    </message>
    <message>
        <source>P&amp;ause</source>
        <translation>P&amp;ause</translation>
    </message>
    <message>
        <source>Next Title</source>
        <translation>Nächster Titel</translation>
    </message>
    <message>
        <source>Previous Title</source>
        <translation>Vorheriger Titel</translation>
    </message>
    <message>
        <source>Properties...</source>
        <translation>Eigenschaften...</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>A&amp;nsicht</translation>
    </message>
    <message>
        <source>S&amp;tatusbar</source>
        <translation>S&amp;tatusleiste</translation>
    </message>
    <message>
        <source>&amp;?</source>
        <translation>&amp;?</translation>
    </message>
    <message>
        <source>Help...</source>
        <translation>Hilfe...</translation>
    </message>
    <message>
        <source>About &amp;Melvo...</source>
        <translation>Über &amp;Melvo...</translation>
    </message>
    <message>
        <source>Melvo Website</source>
        <translation>Melvo-Webseite</translation>
    </message>
</context>
<context>
    <name>CMainView</name>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>freedb</source>
        <translation>freedb</translation>
    </message>
</context>
<context>
    <name>CMultipleMatches</name>
    <message>
        <source>There are multiple matches in the database that relate to this CD. Please choose the most appropriate!</source>
        <translation>In der Datenbank gibt es mehrere Treffer, die zu dieser CD passen. Bitte wählen Sie den passendsten aus!</translation>
    </message>
</context>
<context>
    <name>COptConnection</name>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Manually</source>
        <translation>Manuell</translation>
    </message>
    <message>
        <source>Using RAS</source>
        <translation>RAS verwenden</translation>
    </message>
    <message>
        <source>Using MS Internet Explorer Setting</source>
        <translation>Einstellung des MS Internet Explorer verwenden</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>After freedb Request</source>
        <translation>Nach der freedb-Abfrage</translation>
    </message>
    <message>
        <source>At Program Exit</source>
        <translation>Beim Beenden des Programms</translation>
    </message>
    <message>
        <source>With Confirmation</source>
        <translation>Mit Bestätigung</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>COptFiletypes</name>
    <message>
        <source>File Types</source>
        <translation>Dateitypen</translation>
    </message>
    <message>
        <source>Associate AudioCDs with Melvo</source>
        <translation>Audio-CDs mit Melvo verknüpfen</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>COptFolder</name>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Show My Computer</source>
        <translation>Arbeitsplatz anzeigen</translation>
    </message>
    <message>
        <source>Show User-Defined Folders</source>
        <translation>Benutzerdefinierte Ordner anzeigen</translation>
    </message>
    <message>
        <source>Here you can select which folders will be shown in addition to the CD-ROM drives</source>
        <translation>Hier können Sie wählen, welche Ordner zusätzlich zu den CD-ROM-Laufwerken angezeigt werden</translation>
    </message>
    <message>
        <source>Add...</source>
        <translation>Hinzufügen...</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>COptFreeDB</name>
    <message>
        <source>Edit...</source>
        <translation>Bearbeiten...</translation>
    </message>
    <message>
        <source>freedb Server:</source>
        <translation>freedb-Server:</translation>
    </message>
    <message>
        <source>E-mail address</source>
        <translation>E-Mail-Adresse</translation>
    </message>
    <message>
        <source>Local freedb Database (Windows-format)</source>
        <translation>Lokale freedb-Datenbank (Windows-Format)</translation>
    </message>
    <message>
        <source>Cache folder:</source>
        <translation>Cache-Ordner:</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>COptGeneral</name>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Sound Card</source>
        <translation>Soundkarte</translation>
    </message>
    <message>
        <source>Soundbuffer</source>
        <translation>Soundpuffer</translation>
    </message>
    <message>
        <source>Intro Length</source>
        <translation>Anspieldauer</translation>
    </message>
    <message>
        <source>Sec</source>
        <translation>Sek.</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Use Extended File Information for Titles</source>
        <translation>Erweiterte Dateiinformationen für Titel verwenden</translation>
    </message>
    <message>
        <source>Tag text encoding</source>
        <translation>Zeichensatz der Tag-Texte</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
</context>
<context>
    <name>COptGrabbing</name>
    <message>
        <source>Read commands: &quot;ATAPI 1&quot; reads through cdparanoia with full verification, &quot;ATAPI 2&quot; with overlap checking only; the other commands read the sectors without verification (fastest). Auto-Detection tries them in this order. Changes take effect after restarting Melvo.</source>
        <translation>Lesebefehle: „ATAPI 1“ liest über cdparanoia mit vollständiger Prüfung, „ATAPI 2“ nur mit Überlappungsprüfung; die anderen Befehle lesen die Sektoren ohne Prüfung (am schnellsten). Die automatische Erkennung probiert sie in dieser Reihenfolge aus. Änderungen werden erst nach einem Neustart von Melvo wirksam.</translation>
    </message>
    <message>
        <source>Select Driver</source>
        <translation>Treiber wählen</translation>
    </message>
    <message>
        <source>SPTI Driver</source>
        <translation>SPTI-Treiber</translation>
    </message>
    <message>
        <source>ASPI Driver</source>
        <translation>ASPI-Treiber</translation>
    </message>
    <message>
        <source>Auto-Detection</source>
        <translation>Automatische Erkennung</translation>
    </message>
    <message>
        <source>Drive Letter</source>
        <translation>Laufwerksbuchstabe</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>CD-Abbilder</translation>
    </message>
    <message>
        <source>Add...</source>
        <translation>Hinzufügen...</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>CD-ROM Drive</source>
        <translation>CD-ROM-Laufwerk</translation>
    </message>
    <message>
        <source>Read command</source>
        <translation>Lesebefehl</translation>
    </message>
    <message>
        <source>Frames per read</source>
        <translation>Frames pro Lesevorgang</translation>
    </message>
    <message>
        <source>No CD-Drive installed.</source>
        <translation>Kein CD-Laufwerk installiert.</translation>
    </message>
    <message>
        <source>Add disc images</source>
        <translation>CD-Abbilder hinzufügen</translation>
    </message>
    <message>
        <source>Disc images (*.cue *.toc *.nrg)</source>
        <translation>CD-Abbilder (*.cue *.toc *.nrg)</translation>
    </message>
</context>
<context>
    <name>COptView</name>
    <message>
        <source>View</source>
        <translation>Ansicht</translation>
    </message>
    <message>
        <source>Font Color...</source>
        <translation>Schriftfarbe...</translation>
    </message>
    <message>
        <source>Background Color...</source>
        <translation>Hintergrundfarbe...</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>CPLFunctions</name>
    <message>
        <source>PLS-Playlist (*.pls)</source>
        <translation>PLS-Wiedergabeliste (*.pls)</translation>
    </message>
    <message>
        <source>M3U-Playlist (*.m3u)</source>
        <translation>M3U-Wiedergabeliste (*.m3u)</translation>
    </message>
    <message>
        <source>+ all</source>
        <translation>+ alle</translation>
    </message>
    <message>
        <source>- all</source>
        <translation>- alle</translation>
    </message>
    <message>
        <source>Load Playlist...</source>
        <translation>Liste laden...</translation>
    </message>
    <message>
        <source>Save Playlist...</source>
        <translation>Liste speichern...</translation>
    </message>
</context>
<context>
    <name>CPitch</name>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>CRASSettings</name>
    <message>
        <source>Use current username and password</source>
        <translation>Aktuellen Benutzernamen und aktuelles Kennwort verwenden</translation>
    </message>
    <message>
        <source>Use following settings</source>
        <translation>Folgende Einstellungen verwenden</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Benutzername:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Kennwort:</translation>
    </message>
    <message>
        <source>No secret store runs on this desktop: the password is kept in the settings file.</source>
        <translation>Auf diesem Desktop läuft kein Schlüsselbund-Dienst: Das Kennwort wird in der Einstellungsdatei gespeichert.</translation>
    </message>
</context>
<context>
    <name>CTitleList</name>
    <message>
        <source>Playlist</source>
        <translation>Wiedergabeliste</translation>
    </message>
    <message>
        <source>&amp;Play	SPACE</source>
        <translation>&amp;Abspielen	LEERTASTE</translation>
    </message>
    <message>
        <source>Load Playlist...</source>
        <translation>Wiedergabeliste laden...</translation>
    </message>
    <message>
        <source>Save Playlist...</source>
        <translation>Wiedergabeliste speichern...</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Remove all</source>
        <translation>Alle entfernen</translation>
    </message>
    <message>
        <source>Properties...	Ctrl+P</source>
        <translation>Eigenschaften...	Strg+P</translation>
    </message>
    <message>
        <source>Filelist</source>
        <translation>Dateiliste</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Add All</source>
        <translation>Alle hinzufügen</translation>
    </message>
    <message>
        <source>Properties...</source>
        <translation>Eigenschaften...</translation>
    </message>
</context>
<context>
    <name>CVolume</name>
    <message>
        <source>Mute</source>
        <translation>Stumm</translation>
    </message>
    <message>
        <source>centre</source>
        <translation>Mitte</translation>
    </message>
    <message>
        <source>%1 % left</source>
        <translation>%1 % links</translation>
    </message>
    <message>
        <source>%1 % right</source>
        <translation>%1 % rechts</translation>
    </message>
</context>
<context>
    <name>Strings</name>
    <message>
        <source>Options</source>
        <comment>1</comment>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>File is bigger than 256 MByte and therefore it can not be loaded. Probably it isn&apos;t a playlist!</source>
        <comment>4</comment>
        <translation>Die Datei ist größer als 256 MByte und kann deshalb nicht geladen werden. Wahrscheinlich ist sie keine Wiedergabeliste!</translation>
    </message>
    <message>
        <source>Could not execute RASEnumEntries. Could not get existing RAS Connections.</source>
        <comment>6</comment>
        <translation>RASEnumEntries konnte nicht ausgeführt werden. Die vorhandenen RAS-Verbindungen konnten nicht ermittelt werden.</translation>
    </message>
    <message>
        <source>Please create at first a RAS Connection or select &lt;Manually&gt;!</source>
        <comment>8</comment>
        <translation>Bitte legen Sie zuerst eine RAS-Verbindung an oder wählen Sie &lt;Manuell&gt;!</translation>
    </message>
    <message>
        <source>Could not create main window</source>
        <comment>9</comment>
        <translation>Das Hauptfenster konnte nicht erstellt werden</translation>
    </message>
    <message>
        <source>Could not create view!</source>
        <comment>10</comment>
        <translation>Die Ansicht konnte nicht erstellt werden!</translation>
    </message>
    <message>
        <source>Please first select an item!</source>
        <comment>11</comment>
        <translation>Bitte wählen Sie zuerst einen Eintrag aus!</translation>
    </message>
    <message>
        <source>English</source>
        <comment>14</comment>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>Type</source>
        <comment>16</comment>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <comment>17</comment>
        <translation>Restzeit</translation>
    </message>
    <message>
        <source>Dial internet connection...</source>
        <comment>18</comment>
        <translation>Internetverbindung wird gewählt...</translation>
    </message>
    <message>
        <source>Connect with freedb server...</source>
        <comment>20</comment>
        <translation>Verbindung mit dem freedb-Server...</translation>
    </message>
    <message>
        <source>Query Data...</source>
        <comment>21</comment>
        <translation>Daten werden abgefragt...</translation>
    </message>
    <message>
        <source>Find freedb file...</source>
        <comment>22</comment>
        <translation>freedb-Datei wird gesucht...</translation>
    </message>
    <message>
        <source>Request finished.</source>
        <comment>23</comment>
        <translation>Abfrage beendet.</translation>
    </message>
    <message>
        <source>Could not identify CD for sure. The most appropriate data for this CD will be transmitted.</source>
        <comment>24</comment>
        <translation>Die CD konnte nicht sicher erkannt werden. Die passendsten Daten für diese CD werden übertragen.</translation>
    </message>
    <message>
        <source>No item found for this CD.</source>
        <comment>25</comment>
        <translation>Für diese CD wurde kein Eintrag gefunden.</translation>
    </message>
    <message>
        <source>Server error. Please retry later!</source>
        <comment>26</comment>
        <translation>Serverfehler. Bitte versuchen Sie es später noch einmal!</translation>
    </message>
    <message>
        <source>Item to this CD is errorneous.</source>
        <comment>27</comment>
        <translation>Der Eintrag zu dieser CD ist fehlerhaft.</translation>
    </message>
    <message>
        <source>Too many user logged in. Please try later.</source>
        <comment>29</comment>
        <translation>Zu viele Benutzer angemeldet. Bitte versuchen Sie es später.</translation>
    </message>
    <message>
        <source>freedb command contains a syntax error.</source>
        <comment>30</comment>
        <translation>Der freedb-Befehl enthält einen Syntaxfehler.</translation>
    </message>
    <message>
        <source>Extension</source>
        <comment>32</comment>
        <translation>Erweiterung</translation>
    </message>
    <message>
        <source>Description</source>
        <comment>33</comment>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Unknown file.</source>
        <comment>34</comment>
        <translation>Unbekannte Datei.</translation>
    </message>
    <message>
        <source>Invalid selection.</source>
        <comment>37</comment>
        <translation>Ungültige Auswahl.</translation>
    </message>
    <message>
        <source>Select Folder, where Melvo caches freedb requests!</source>
        <comment>40</comment>
        <translation>Wählen Sie den Ordner, in dem Melvo freedb-Abfragen zwischenspeichert!</translation>
    </message>
    <message>
        <source>Please first select an item from the playlist.</source>
        <comment>41</comment>
        <translation>Bitte wählen Sie zuerst einen Eintrag aus der Wiedergabeliste aus.</translation>
    </message>
    <message>
        <source>Could not write to secondary DirectSound buffer!</source>
        <comment>43</comment>
        <translation>In den sekundären DirectSound-Puffer konnte nicht geschrieben werden!</translation>
    </message>
    <message>
        <source>Error in DirectSound function</source>
        <comment>44</comment>
        <translation>Fehler in der DirectSound-Funktion</translation>
    </message>
    <message>
        <source>This is an invalid filename. You can&apos;t use one of these characters &apos; &quot;/&lt;&gt;:\|&apos; </source>
        <comment>45</comment>
        <translation>Dies ist ein ungültiger Dateiname. Sie können keines dieser Zeichen verwenden: &apos; &quot;/&lt;&gt;:\|&apos; </translation>
    </message>
    <message>
        <source>Please first select an item from the filelist.</source>
        <comment>46</comment>
        <translation>Bitte wählen Sie zuerst einen Eintrag aus der Dateiliste aus.</translation>
    </message>
    <message>
        <source>Could not map file into address space!</source>
        <comment>47</comment>
        <translation>Die Datei konnte nicht in den Adressraum eingeblendet werden!</translation>
    </message>
    <message>
        <source>Could not open named file mapping object!</source>
        <comment>48</comment>
        <translation>Das benannte Dateizuordnungsobjekt konnte nicht geöffnet werden!</translation>
    </message>
    <message>
        <source>Category</source>
        <comment>49</comment>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>New Server...</source>
        <comment>50</comment>
        <translation>Neuer Server...</translation>
    </message>
    <message>
        <source>DiscID</source>
        <comment>51</comment>
        <translation>DiscID</translation>
    </message>
    <message>
        <source>Title</source>
        <comment>52</comment>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Please enter a valid Domain and a valid Path!</source>
        <comment>53</comment>
        <translation>Bitte geben Sie eine gültige Domain und einen gültigen Pfad ein!</translation>
    </message>
    <message>
        <source>About Melvo...</source>
        <comment>100</comment>
        <translation>Über Melvo...</translation>
    </message>
    <message>
        <source>Melvo </source>
        <comment>129</comment>
        <translation>Melvo </translation>
    </message>
    <message>
        <source>View</source>
        <comment>136</comment>
        <translation>Ansicht</translation>
    </message>
    <message>
        <source>CD Grabbing</source>
        <comment>144</comment>
        <translation>CD kopieren</translation>
    </message>
    <message>
        <source>freedb Settings</source>
        <comment>146</comment>
        <translation>freedb-Einstellungen</translation>
    </message>
    <message>
        <source>Properties</source>
        <comment>183</comment>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Choose Drive Letter</source>
        <comment>202</comment>
        <translation>Laufwerksbuchstaben wählen</translation>
    </message>
    <message>
        <source>Choose Tag</source>
        <comment>226</comment>
        <translation>Tag wählen</translation>
    </message>
    <message>
        <source>Multiple Matches...</source>
        <comment>229</comment>
        <translation>Mehrere Treffer...</translation>
    </message>
    <message>
        <source>CD Drives</source>
        <comment>230</comment>
        <translation>CD-Laufwerke</translation>
    </message>
    <message>
        <source>RAS settings</source>
        <comment>232</comment>
        <translation>RAS-Einstellungen</translation>
    </message>
    <message>
        <source>Error Details</source>
        <comment>239</comment>
        <translation>Fehlerdetails</translation>
    </message>
    <message>
        <source>Rename File</source>
        <comment>240</comment>
        <translation>Datei umbenennen</translation>
    </message>
    <message>
        <source>Edit freedb Server...</source>
        <comment>241</comment>
        <translation>freedb-Server bearbeiten...</translation>
    </message>
    <message>
        <source>freedb Request</source>
        <comment>242</comment>
        <translation>freedb-Abfrage</translation>
    </message>
    <message>
        <source>Create New Folder...</source>
        <comment>244</comment>
        <translation>Neuen Ordner erstellen...</translation>
    </message>
    <message>
        <source>Connection</source>
        <comment>246</comment>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>Start playback of the current title in playlist.
Start playback</source>
        <comment>1001</comment>
        <translation>Den aktuellen Titel der Wiedergabeliste abspielen.
Wiedergabe starten</translation>
    </message>
    <message>
        <source>Stop playback of the current title.
Stop playback</source>
        <comment>1002</comment>
        <translation>Die Wiedergabe des aktuellen Titels beenden.
Wiedergabe beenden</translation>
    </message>
    <message>
        <source>Write an e-mail to the support of Melvo.
Send e-mail</source>
        <comment>1003</comment>
        <translation>Eine E-Mail an den Melvo-Support schreiben.
E-Mail senden</translation>
    </message>
    <message>
        <source>Open the website of Melvo in the browser.
Melvo Website</source>
        <comment>1004</comment>
        <translation>Die Webseite von Melvo im Browser öffnen.
Melvo-Webseite</translation>
    </message>
    <message>
        <source>Pause or resume playback.
Pause playback</source>
        <comment>1005</comment>
        <translation>Die Wiedergabe anhalten oder fortsetzen.
Wiedergabe anhalten</translation>
    </message>
    <message>
        <source>Add all titles from filelist to playlist.
Add all titles</source>
        <comment>1034</comment>
        <translation>Alle Titel der Dateiliste zur Wiedergabeliste hinzufügen.
Alle Titel hinzufügen</translation>
    </message>
    <message>
        <source>Add selected titles from filelist to playlist.
Add selected titles</source>
        <comment>1037</comment>
        <translation>Die ausgewählten Titel der Dateiliste zur Wiedergabeliste hinzufügen.
Ausgewählte Titel hinzufügen</translation>
    </message>
    <message>
        <source>Request title for CD from freedb.
freedb Request</source>
        <comment>1050</comment>
        <translation>Die Titel der CD bei freedb abfragen.
freedb-Abfrage</translation>
    </message>
    <message>
        <source>Start the volume control of the system.
Volume Control</source>
        <comment>1060</comment>
        <translation>Die Lautstärkeregelung des Systems starten.
Lautstärkeregelung</translation>
    </message>
    <message>
        <source>Balance between the left and the right speaker.
Balance</source>
        <comment>1073</comment>
        <translation>Verteilung zwischen linkem und rechtem Lautsprecher.
Balance</translation>
    </message>
    <message>
        <source>Speed of the playing title: up is faster.
Tempo</source>
        <comment>1091</comment>
        <translation>Geschwindigkeit des gespielten Titels: nach oben schneller.
Tempo</translation>
    </message>
    <message>
        <source>Refresh the folder tree.
Refresh</source>
        <comment>1166</comment>
        <translation>Den Ordnerbaum aktualisieren.
Aktualisieren</translation>
    </message>
    <message>
        <source>Remove selected title from playlist.
Remove title</source>
        <comment>1170</comment>
        <translation>Den ausgewählten Titel aus der Wiedergabeliste entfernen.
Titel entfernen</translation>
    </message>
    <message>
        <source>Remove all titles from playlist.
Remove all titles</source>
        <comment>1192</comment>
        <translation>Alle Titel aus der Wiedergabeliste entfernen.
Alle Titel entfernen</translation>
    </message>
    <message>
        <source>Save playlist in file.
Save playlist</source>
        <comment>1258</comment>
        <translation>Die Wiedergabeliste in einer Datei speichern.
Wiedergabeliste speichern</translation>
    </message>
    <message>
        <source>Load Playlist from file.
Load playlist</source>
        <comment>1259</comment>
        <translation>Eine Wiedergabeliste aus einer Datei laden.
Wiedergabeliste laden</translation>
    </message>
    <message>
        <source>Volume of the playing title: up is louder.
Volume</source>
        <comment>1266</comment>
        <translation>Lautstärke des gespielten Titels: nach oben lauter.
Lautstärke</translation>
    </message>
    <message>
        <source>Change the options of Melvo.
Options</source>
        <comment>32786</comment>
        <translation>Die Optionen von Melvo ändern.
Optionen</translation>
    </message>
    <message>
        <source>Copy tracks from CD to HD
Grab CD</source>
        <comment>32790</comment>
        <translation>Titel von der CD auf die Festplatte kopieren
CD kopieren</translation>
    </message>
    <message>
        <source>Show info to the selected title in the Playlist.
Title info</source>
        <comment>32801</comment>
        <translation>Informationen zum ausgewählten Titel der Wiedergabeliste anzeigen.
Titelinfo</translation>
    </message>
    <message>
        <source>Jumps to the beginning of the title or to the previous title.
Previous title</source>
        <comment>32808</comment>
        <translation>Zum Anfang des Titels oder zum vorherigen Titel springen.
Vorheriger Titel</translation>
    </message>
    <message>
        <source>Show program information and version of Melvo.
Info</source>
        <comment>32818</comment>
        <translation>Programminformationen und Version von Melvo anzeigen.
Info</translation>
    </message>
    <message>
        <source>Next title in playlist.
Next title</source>
        <comment>32834</comment>
        <translation>Nächster Titel der Wiedergabeliste.
Nächster Titel</translation>
    </message>
    <message>
        <source>Show info to the selected title in the filelist.
Title info</source>
        <comment>32849</comment>
        <translation>Informationen zum ausgewählten Titel der Dateiliste anzeigen.
Titelinfo</translation>
    </message>
    <message>
        <source>Melvo</source>
        <comment>57344</comment>
        <translation>Melvo</translation>
    </message>
    <message>
        <source>Ready</source>
        <comment>57345</comment>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>Quit Melvo.
Quit</source>
        <comment>57665</comment>
        <translation>Melvo beenden.
Beenden</translation>
    </message>
    <message>
        <source>Show help for the next item you click on.
Context help</source>
        <comment>57669</comment>
        <translation>Hilfe zum nächsten angeklickten Element anzeigen.
Direkthilfe</translation>
    </message>
    <message>
        <source>Open the help of Melvo.
Help</source>
        <comment>57670</comment>
        <translation>Die Hilfe von Melvo öffnen.
Hilfe</translation>
    </message>
    <message>
        <source>Show or hide the status bar.
Statusbar</source>
        <comment>59393</comment>
        <translation>Die Statusleiste ein- oder ausblenden.
Statusleiste</translation>
    </message>
    <message>
        <source>Could not add item to list!</source>
        <comment>61205</comment>
        <translation>Der Eintrag konnte nicht zur Liste hinzugefügt werden!</translation>
    </message>
    <message>
        <source>This file is read-only. You can only read tags. Do you want to remove the write protection to commit changes to this file?</source>
        <comment>61210</comment>
        <translation>Diese Datei ist schreibgeschützt. Sie können die Tags nur lesen. Möchten Sie den Schreibschutz aufheben, um die Änderungen in dieser Datei zu speichern?</translation>
    </message>
    <message>
        <source>Could not load string from resource.</source>
        <comment>61275</comment>
        <translation>Der Text konnte nicht aus der Ressource geladen werden.</translation>
    </message>
    <message>
        <source>Error creating statusbar!</source>
        <comment>61277</comment>
        <translation>Fehler beim Erstellen der Statusleiste!</translation>
    </message>
    <message>
        <source>Could not find windows-system directory!</source>
        <comment>61278</comment>
        <translation>Das Windows-Systemverzeichnis wurde nicht gefunden!</translation>
    </message>
    <message>
        <source>Could not find windows directory!</source>
        <comment>61279</comment>
        <translation>Das Windows-Verzeichnis wurde nicht gefunden!</translation>
    </message>
    <message>
        <source>No AudioCD in selected drive.</source>
        <comment>61280</comment>
        <translation>Keine Audio-CD im ausgewählten Laufwerk.</translation>
    </message>
    <message>
        <source>Change only take effect after restarting Melvo.</source>
        <comment>61283</comment>
        <translation>Die Änderung wird erst nach einem Neustart von Melvo wirksam.</translation>
    </message>
    <message>
        <source>Do you want to disconnect the current internet connection?</source>
        <comment>61284</comment>
        <translation>Möchten Sie die aktuelle Internetverbindung trennen?</translation>
    </message>
    <message>
        <source>Could not find this function in Plug-In DLL.</source>
        <comment>61286</comment>
        <translation>Diese Funktion wurde in der Plug-in-DLL nicht gefunden.</translation>
    </message>
    <message>
        <source>Plug-in DLL has wrong format. Could not load specified icon!</source>
        <comment>61287</comment>
        <translation>Die Plug-in-DLL hat ein falsches Format. Das angegebene Symbol konnte nicht geladen werden!</translation>
    </message>
    <message>
        <source>Error allocating memory! Perhaps no more memory available.</source>
        <comment>61288</comment>
        <translation>Fehler beim Reservieren von Speicher! Vielleicht ist kein Speicher mehr frei.</translation>
    </message>
    <message>
        <source>Error opening help-file Melvo.chm. Please check if you installed the help and reinstall Melvo if necessary!</source>
        <comment>61290</comment>
        <translation>Fehler beim Öffnen der Hilfedatei Melvo.chm. Bitte prüfen Sie, ob die Hilfe installiert ist, und installieren Sie Melvo gegebenenfalls neu!</translation>
    </message>
    <message>
        <source>Error creating dialog!</source>
        <comment>61291</comment>
        <translation>Fehler beim Erstellen des Dialogs!</translation>
    </message>
    <message>
        <source>Could not write value to registry!</source>
        <comment>61294</comment>
        <translation>Der Wert konnte nicht in die Registrierung geschrieben werden!</translation>
    </message>
    <message>
        <source>Version %s (February 2004)</source>
        <comment>61298</comment>
        <translation>Version %s (Februar 2004)</translation>
    </message>
    <message>
        <source>Error creating file! Perhaps this file already exists and another program uses it or there is no additional memory available!</source>
        <comment>61299</comment>
        <translation>Fehler beim Erstellen der Datei! Vielleicht existiert diese Datei bereits und wird von einem anderen Programm verwendet, oder es ist kein Speicher mehr frei!</translation>
    </message>
    <message>
        <source>Wrong format of playlist file! Playlist file has to be in WinAMP format.</source>
        <comment>61304</comment>
        <translation>Falsches Format der Wiedergabeliste! Die Wiedergabeliste muss im WinAMP-Format sein.</translation>
    </message>
    <message>
        <source>Error getting complete path to this file.</source>
        <comment>61305</comment>
        <translation>Fehler beim Ermitteln des vollständigen Pfads zu dieser Datei.</translation>
    </message>
    <message>
        <source>Error opening file. Perhaps it is already opened by another program.</source>
        <comment>61306</comment>
        <translation>Fehler beim Öffnen der Datei. Vielleicht ist sie bereits von einem anderen Programm geöffnet.</translation>
    </message>
    <message>
        <source>Error reading file!</source>
        <comment>61307</comment>
        <translation>Fehler beim Lesen der Datei!</translation>
    </message>
    <message>
        <source>Could not register new clipboard format.</source>
        <comment>61309</comment>
        <translation>Das neue Zwischenablageformat konnte nicht registriert werden.</translation>
    </message>
    <message>
        <source>Error initializing OLE! System DLL may be corrupted or wrong version.</source>
        <comment>61310</comment>
        <translation>Fehler beim Initialisieren von OLE! Eine System-DLL ist vielleicht beschädigt oder hat die falsche Version.</translation>
    </message>
    <message>
        <source>Could not find file. Please check the path!</source>
        <comment>61313</comment>
        <translation>Datei nicht gefunden. Bitte prüfen Sie den Pfad!</translation>
    </message>
    <message>
        <source>Unknown error writing tag into file.</source>
        <comment>61315</comment>
        <translation>Unbekannter Fehler beim Schreiben des Tags in die Datei.</translation>
    </message>
    <message>
        <source>You just play this file. Do you want to stop playback to commit changes?</source>
        <comment>61316</comment>
        <translation>Diese Datei wird gerade abgespielt. Möchten Sie die Wiedergabe beenden, um die Änderungen zu speichern?</translation>
    </message>
    <message>
        <source>There is no data in this tag. Should this tag be removed?</source>
        <comment>61317</comment>
        <translation>Dieses Tag enthält keine Daten. Soll es entfernt werden?</translation>
    </message>
    <message>
        <source>Please choose tag you want to insert into file.</source>
        <comment>61318</comment>
        <translation>Bitte wählen Sie das Tag, das Sie in die Datei einfügen möchten.</translation>
    </message>
    <message>
        <source>Please choose tag you want to remove from file.</source>
        <comment>61319</comment>
        <translation>Bitte wählen Sie das Tag, das Sie aus der Datei entfernen möchten.</translation>
    </message>
    <message>
        <source>Remove tag...</source>
        <comment>61320</comment>
        <translation>Tag entfernen...</translation>
    </message>
    <message>
        <source>Add Tag...</source>
        <comment>61321</comment>
        <translation>Tag hinzufügen...</translation>
    </message>
    <message>
        <source>Please first select one item from the list!</source>
        <comment>61322</comment>
        <translation>Bitte wählen Sie zuerst einen Eintrag aus der Liste aus!</translation>
    </message>
    <message>
        <source>                                            </source>
        <comment>61323</comment>
        <translation>                                            </translation>
    </message>
    <message>
        <source>Error creating folder!</source>
        <comment>61324</comment>
        <translation>Fehler beim Erstellen des Ordners!</translation>
    </message>
    <message>
        <source>Although the folder is displayed in the list it doesn&apos;t exist any more. Please choose another folder!</source>
        <comment>61325</comment>
        <translation>Der Ordner wird zwar in der Liste angezeigt, existiert aber nicht mehr. Bitte wählen Sie einen anderen Ordner!</translation>
    </message>
    <message>
        <source>The foldername contains one ore more invalid characters!</source>
        <comment>61326</comment>
        <translation>Der Ordnername enthält ein oder mehrere ungültige Zeichen!</translation>
    </message>
    <message>
        <source>New Folder...</source>
        <comment>61327</comment>
        <translation>Neuer Ordner...</translation>
    </message>
    <message>
        <source>Select Folder, where local freedb database is located!</source>
        <comment>61328</comment>
        <translation>Wählen Sie den Ordner, in dem die lokale freedb-Datenbank liegt!</translation>
    </message>
    <message>
        <source>Select a folder, which contains audio files.</source>
        <comment>61329</comment>
        <translation>Wählen Sie einen Ordner, der Audiodateien enthält.</translation>
    </message>
    <message>
        <source>You didn&apos;t select a valid folder.</source>
        <comment>61330</comment>
        <translation>Sie haben keinen gültigen Ordner gewählt.</translation>
    </message>
    <message>
        <source>Artist - Title</source>
        <comment>61332</comment>
        <translation>Interpret - Titel</translation>
    </message>
    <message>
        <source>Length</source>
        <comment>61333</comment>
        <translation>Länge</translation>
    </message>
    <message>
        <source>Could not register window as Drag &amp; Drop destination!</source>
        <comment>61334</comment>
        <translation>Das Fenster konnte nicht als Ziel für Drag &amp; Drop registriert werden!</translation>
    </message>
    <message>
        <source>This file has been changed by another program since its tags were read. Do you want to write your changes anyway?</source>
        <comment>61360</comment>
        <translation>Diese Datei wurde von einem anderen Programm geändert, seit ihre Tags gelesen wurden. Möchten Sie Ihre Änderungen trotzdem schreiben?</translation>
    </message>
    <message>
        <source>This file cannot be played. Its format is not supported or the file is damaged.</source>
        <comment>61400</comment>
        <translation>Diese Datei kann nicht abgespielt werden. Ihr Format wird nicht unterstützt oder die Datei ist beschädigt.</translation>
    </message>
    <message>
        <source>The settings file could not be read. It was kept under this name, and Melvo starts with its default settings.</source>
        <comment>62010</comment>
        <translation>Die Einstellungsdatei konnte nicht gelesen werden. Sie wurde unter diesem Namen aufbewahrt, und Melvo startet mit seinen Standardeinstellungen.</translation>
    </message>
    <message>
        <source>The default playlist could not be read completely. It was kept under this name and is not overwritten.</source>
        <comment>62011</comment>
        <translation>Die Standard-Wiedergabeliste konnte nicht vollständig gelesen werden. Sie wurde unter diesem Namen aufbewahrt und wird nicht überschrieben.</translation>
    </message>
    <message>
        <source>The freedb server answers only requests that carry your e-mail address, and it is sent with every request. Please enter your e-mail address:</source>
        <comment>62100</comment>
        <translation>Der freedb-Server beantwortet nur Anfragen mit Ihrer E-Mail-Adresse; sie wird mit jeder Anfrage gesendet. Bitte geben Sie Ihre E-Mail-Adresse ein:</translation>
    </message>
</context>
<context>
    <name>TitleList</name>
    <message>
        <source>Could not delete item</source>
        <translation>Eintrag konnte nicht gelöscht werden</translation>
    </message>
</context>
<context>
    <name>CBrowseForFolder</name>
    <message>
        <source>Browse for Folder</source>
        <translation>Ordner suchen</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>Computer</translation>
    </message>
</context>
<context>
    <name>CNewFolder</name>
    <message>
        <source>Please enter a valid name for a folder, which you want to create in the current folder.</source>
        <translation>Bitte geben Sie einen gültigen Namen für den Ordner ein, den Sie im aktuellen Ordner anlegen möchten.</translation>
    </message>
</context>
<context>
    <name>CRenameFile</name>
    <message>
        <source>Old name:</source>
        <translation>Alter Name:</translation>
    </message>
    <message>
        <source>New name:</source>
        <translation>Neuer Name:</translation>
    </message>
</context>
<context>
    <name>CTagID3V2</name>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
</context>
<context>
    <name>CTagPage</name>
    <message>
        <source>Artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>BPM</source>
        <translation>BPM</translation>
    </message>
    <message>
        <source>Composer</source>
        <translation>Komponist</translation>
    </message>
    <message>
        <source>Copyright</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <source>encoded by</source>
        <translation>kodiert von</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Track</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Genre</source>
        <translation>Genre</translation>
    </message>
</context>
<context>
    <name>CTitleProperties</name>
    <message>
        <source>Filename:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>Plug-In:</source>
        <translation>Plug-In:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Kanäle:</translation>
    </message>
    <message>
        <source>Bitrate:</source>
        <translation>Bitrate:</translation>
    </message>
    <message>
        <source>Bits/Sample:</source>
        <translation>Bits/Sample:</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Frequenz:</translation>
    </message>
    <message>
        <source>Length:</source>
        <translation>Länge:</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <source>Title information</source>
        <translation>Titelinformationen</translation>
    </message>
    <message>
        <source>No tag available in this file!</source>
        <translation>Diese Datei enthält kein Tag!</translation>
    </message>
    <message>
        <source>Add Tag...</source>
        <translation>Tag hinzufügen...</translation>
    </message>
    <message>
        <source>Remove Tag...</source>
        <translation>Tag entfernen...</translation>
    </message>
    <message>
        <source>Tag:</source>
        <translation>Tag:</translation>
    </message>
    <message>
        <source>Rename...</source>
        <translation>Umbenennen...</translation>
    </message>
</context>
</TS>
