<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>nimbrel::AboutDialog</name>
    <message>
        <source>About</source>
        <extracomment>The About window&apos;s title bar.</extracomment>
        <translation>Über</translation>
    </message>
    <message>
        <source> Nimbrel AP/Bridge/CloudAP Utility Config</source>
        <extracomment>The product&apos;s name, leading space included: a name, kept as it is in every language.</extracomment>
        <translation> Nimbrel AP/Bridge/CloudAP Utility Config</translation>
    </message>
    <message>
        <source> Version:%1</source>
        <extracomment>%1 is the program&apos;s version, such as 1.6. The leading space belongs to the layout.</extracomment>
        <translation> Version:%1</translation>
    </message>
    <message>
        <source>Copyright (C) 2019-2026 Nimbrel</source>
        <extracomment>The copyright notice: the years and the holder&apos;s name stay as they are.</extracomment>
        <translation>Copyright (C) 2019-2026 Nimbrel</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>The button that closes the About window.</extracomment>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>nimbrel::DeviceModel</name>
    <message>
        <source>Not answering</source>
        <extracomment>Read by screen readers for a listed device that did not answer the last search.</extracomment>
        <translation>Antwortet nicht</translation>
    </message>
    <message>
        <source>New</source>
        <extracomment>Read by screen readers for a device (in French: &quot;l&apos;appareil&quot;, masculine) that first answered the last search.</extracomment>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Model</source>
        <extracomment>Column headers of the details table: the device&apos;s model name, its IPv4 address, its MAC address, its firmware version, the computer&apos;s network interface it answered on, and the local time of the last search it answered.</extracomment>
        <translation>Modell</translation>
    </message>
    <message>
        <source>IPv4</source>
        <translation>IPv4</translation>
    </message>
    <message>
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>Schnittstelle</translation>
    </message>
    <message>
        <source>Last seen</source>
        <translation>Letzte Antwort</translation>
    </message>
    <message>
        <source>Device</source>
        <extracomment>The icon views&apos; one column: a device&apos;s model and address.</extracomment>
        <translation>Gerät</translation>
    </message>
</context>
<context>
    <name>nimbrel::FailureReports</name>
    <message>
        <source>1 more failure followed.</source>
        <extracomment>Below a failure box&apos;s message while it is open: one more failure came.</extracomment>
        <translation>1 weiterer Fehler folgte.</translation>
    </message>
    <message>
        <source>%1 more failures followed.</source>
        <extracomment>Below a failure box&apos;s message while it is open; %1 (more than one) failures followed the one shown.</extracomment>
        <translation>%1 weitere Fehler folgten.</translation>
    </message>
</context>
<context>
    <name>nimbrel::MainWindow</name>
    <message>
        <source> Nimbrel AP/Bridge/CloudAP Utility Config</source>
        <extracomment>The window&apos;s caption; it starts with a blank.</extracomment>
        <translation> Nimbrel AP/Bridge/CloudAP Utility Config</translation>
    </message>
    <message>
        <source>Devices found</source>
        <extracomment>Name of the device list for screen readers.</extracomment>
        <translation>Gefundene Geräte</translation>
    </message>
    <message>
        <source>Searching for devices</source>
        <translation>Suche nach Geräten</translation>
    </message>
    <message>
        <source>Status</source>
        <extracomment>Name of the status bar for screen readers.</extracomment>
        <translation>Status</translation>
    </message>
    <message>
        <source>Press F5 to search,Double click to config</source>
        <extracomment>The status bar&apos;s hint: the missing blank after the comma is as the program always showed it.</extracomment>
        <translation>F5: Suche starten, Doppelklick: Konfiguration</translation>
    </message>
    <message>
        <source>Please Double Click the items listed!</source>
        <extracomment>In the status bar after Open with no device selected.</extracomment>
        <translation>Bitte auf ein Gerät der Liste doppelklicken!</translation>
    </message>
    <message>
        <source>MAC:%1  VER:%2</source>
        <extracomment>The selected device&apos;s details in the status bar: %1 its MAC, %2 its firmware version.</extracomment>
        <translation>MAC:%1  FW:%2</translation>
    </message>
    <message>
        <source>%1 of %2 devices shown</source>
        <extracomment>In the status bar: %1 devices are in view of %2 found.</extracomment>
        <translation>%1 von %2 Geräten angezeigt</translation>
    </message>
    <message>
        <source>%1 reply lost</source>
        <extracomment>In the status bar: %1 is 1, one reply was dropped by the system.</extracomment>
        <translation>%1 Antwort verloren</translation>
    </message>
    <message>
        <source>%1 replies lost</source>
        <extracomment>In the status bar: %1 (more than one) replies were dropped by the system.</extracomment>
        <translation>%1 Antworten verloren</translation>
    </message>
    <message>
        <source>All networks</source>
        <extracomment>Status bar, while no device is listed: the search covered every network of the computer.</extracomment>
        <translation>Alle Netzwerke</translation>
    </message>
    <message>
        <source>One network</source>
        <extracomment>Status bar, while no device is listed: the search covered only the computer&apos;s network.</extracomment>
        <translation>Ein Netzwerk</translation>
    </message>
    <message>
        <source>Settings could not be saved: %1</source>
        <extracomment>In the status bar; %1 is the settings file.</extracomment>
        <translation>Einstellungen nicht gespeichert: %1</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <extracomment>Menu bar; access key unique in the menu bar.</extracomment>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <extracomment>File menu: search again; access key unique in the File menu.</extracomment>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <extracomment>File menu: open the selected device&apos;s web page; access key unique in the File menu.</extracomment>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <extracomment>File menu; access key unique in the File menu.</extracomment>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <extracomment>Menu bar; access key unique in the menu bar.</extracomment>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Lar&amp;ge Image</source>
        <extracomment>View menu; access key unique in the View menu.</extracomment>
        <translation>&amp;Große Symbole</translation>
    </message>
    <message>
        <source>S&amp;mall Image</source>
        <extracomment>View menu; access key unique in the View menu.</extracomment>
        <translation>&amp;Kleine Symbole</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <extracomment>Menu bar; access key unique in the menu bar.</extracomment>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>&amp;Find:</source>
        <extracomment>The label of the find field; the letter after &amp; is its access key.</extracomment>
        <translation>&amp;Filter:</translation>
    </message>
    <message>
        <source>Find devices</source>
        <extracomment>Name of the find field for screen readers; it narrows the list of devices.</extracomment>
        <translation>Geräte filtern</translation>
    </message>
    <message>
        <source>Model, IPv4, MAC or firmware</source>
        <translation>Modell, IPv4, MAC oder Firmware</translation>
    </message>
    <message>
        <source>  Interface: %1</source>
        <extracomment>After a device&apos;s details in the status bar: the network interface it answered on.</extracomment>
        <translation>  Schnittstelle: %1</translation>
    </message>
    <message>
        <source>  not answering since %1</source>
        <extracomment>After a device&apos;s details in the status bar: %1 is the time of day it last answered.</extracomment>
        <translation>  antwortet nicht seit %1</translation>
    </message>
    <message>
        <source>Could not open %1</source>
        <extracomment>In the status bar when no web browser could be started; %1 is the device&apos;s address.</extracomment>
        <translation>%1 konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>&amp;Auto Refresh</source>
        <extracomment>File menu, a check item; access key unique in the File menu.</extracomment>
        <translation>&amp;Automatisch aktualisieren</translation>
    </message>
    <message>
        <source>&amp;Save List As…</source>
        <extracomment>File menu: save the listed devices as CSV or JSON; access key unique in the File menu.</extracomment>
        <translation>Liste speichern &amp;unter…</translation>
    </message>
    <message>
        <source>&amp;Details</source>
        <extracomment>View menu: the table with one column per detail; access key unique in the View menu.</extracomment>
        <translation>&amp;Details</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <extracomment>View menu: show the find field; access key unique in the View menu.</extracomment>
        <translation>&amp;Filter...</translation>
    </message>
    <message>
        <source>&amp;Search All Networks</source>
        <extracomment>View menu, a check item; access key unique in the View menu.</extracomment>
        <translation>In &amp;allen Netzwerken suchen</translation>
    </message>
    <message>
        <source>Copy &amp;IPv4 Address</source>
        <extracomment>Context menu of a device; access key unique in this menu.</extracomment>
        <translation>&amp;IPv4-Adresse kopieren</translation>
    </message>
    <message>
        <source>Copy &amp;MAC Address</source>
        <extracomment>Context menu of a device; access key unique in this menu.</extracomment>
        <translation>&amp;MAC-Adresse kopieren</translation>
    </message>
    <message>
        <source>Copy &amp;Rows</source>
        <extracomment>Context menu with several devices selected; access key unique in this menu.</extracomment>
        <translation>&amp;Zeilen kopieren</translation>
    </message>
    <message>
        <source>Copy &amp;Row</source>
        <extracomment>Context menu of a device; access key unique in this menu.</extracomment>
        <translation>&amp;Zeile kopieren</translation>
    </message>
    <message>
        <source>The list could not be saved to %1:
%2</source>
        <extracomment>A box after a failed save; %1 is the file, %2 the system&apos;s reason.</extracomment>
        <translation>Die Liste konnte nicht in %1 gespeichert werden:
%2</translation>
    </message>
    <message>
        <source>List saved to %1</source>
        <extracomment>In the status bar after a save; %1 is the file.</extracomment>
        <translation>Liste gespeichert: %1</translation>
    </message>
    <message>
        <source>Save List As</source>
        <extracomment>Title of the file dialog that saves the device list (File &gt; Save List As…).</extracomment>
        <translation>Liste speichern unter</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <extracomment>File types of Save List As; keep &quot;(*.csv)&quot; and &quot;(*.json)&quot; as they are.</extracomment>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>JSON (*.json)</source>
        <translation>JSON (*.json)</translation>
    </message>
    <message>
        <source>, </source>
        <extracomment>Separates the count of devices shown from the count of replies lost.</extracomment>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>nimbrel::MessageDialog</name>
    <message>
        <source>Application Error</source>
        <extracomment>The caption of the box that reports a failure ending the program.</extracomment>
        <translation>Anwendungsfehler</translation>
    </message>
</context>
</TS>
