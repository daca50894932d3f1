<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>nimbrel::AboutDialog</name>
    <message>
        <source>About</source>
        <extracomment>The About window&apos;s title bar.</extracomment>
        <translation>À propos</translation>
    </message>
    <message>
        <source> Nimbrel AP/Bridge/CloudAP Utility Config</source>
        <extracomment>The product&apos;s name, leading space included: a name, kept as it is in every language.</extracomment>
        <translation> Nimbrel AP/Bridge/CloudAP Utility Config</translation>
    </message>
    <message>
        <source> Version:%1</source>
        <extracomment>%1 is the program&apos;s version, such as 1.6. The leading space belongs to the layout.</extracomment>
        <translation> Version : %1</translation>
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
        <translation>Ne répond pas</translation>
    </message>
    <message>
        <source>New</source>
        <extracomment>Read by screen readers for a device (in French: &quot;l&apos;appareil&quot;, masculine) that first answered the last search.</extracomment>
        <translation>Nouveau</translation>
    </message>
    <message>
        <source>Model</source>
        <extracomment>Column headers of the details table: the device&apos;s model name, its IPv4 address, its MAC address, its firmware version, the computer&apos;s network interface it answered on, and the local time of the last search it answered.</extracomment>
        <translation>Modèle</translation>
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
        <translation>Interface</translation>
    </message>
    <message>
        <source>Last seen</source>
        <translation>Dernière réponse</translation>
    </message>
    <message>
        <source>Device</source>
        <extracomment>The icon views&apos; one column: a device&apos;s model and address.</extracomment>
        <translation>Appareil</translation>
    </message>
</context>
<context>
    <name>nimbrel::FailureReports</name>
    <message>
        <source>1 more failure followed.</source>
        <extracomment>Below a failure box&apos;s message while it is open: one more failure came.</extracomment>
        <translation>1 autre erreur a suivi.</translation>
    </message>
    <message>
        <source>%1 more failures followed.</source>
        <extracomment>Below a failure box&apos;s message while it is open; %1 (more than one) failures followed the one shown.</extracomment>
        <translation>%1 autres erreurs ont suivi.</translation>
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
        <translation>Appareils trouvés</translation>
    </message>
    <message>
        <source>Searching for devices</source>
        <translation>Recherche des appareils</translation>
    </message>
    <message>
        <source>Status</source>
        <extracomment>Name of the status bar for screen readers.</extracomment>
        <translation>État</translation>
    </message>
    <message>
        <source>Press F5 to search,Double click to config</source>
        <extracomment>The status bar&apos;s hint: the missing blank after the comma is as the program always showed it.</extracomment>
        <translation>F5 : rechercher, double-clic : configurer</translation>
    </message>
    <message>
        <source>Please Double Click the items listed!</source>
        <extracomment>In the status bar after Open with no device selected.</extracomment>
        <translation>Double-cliquez sur un appareil de la liste !</translation>
    </message>
    <message>
        <source>MAC:%1  VER:%2</source>
        <extracomment>The selected device&apos;s details in the status bar: %1 its MAC, %2 its firmware version.</extracomment>
        <translation>MAC:%1  FW:%2</translation>
    </message>
    <message>
        <source>%1 of %2 devices shown</source>
        <extracomment>In the status bar: %1 devices are in view of %2 found.</extracomment>
        <translation>%1 appareils affichés sur %2</translation>
    </message>
    <message>
        <source>%1 reply lost</source>
        <extracomment>In the status bar: %1 is 1, one reply was dropped by the system.</extracomment>
        <translation>%1 réponse perdue</translation>
    </message>
    <message>
        <source>%1 replies lost</source>
        <extracomment>In the status bar: %1 (more than one) replies were dropped by the system.</extracomment>
        <translation>%1 réponses perdues</translation>
    </message>
    <message>
        <source>All networks</source>
        <extracomment>Status bar, while no device is listed: the search covered every network of the computer.</extracomment>
        <translation>Tous les réseaux</translation>
    </message>
    <message>
        <source>One network</source>
        <extracomment>Status bar, while no device is listed: the search covered only the computer&apos;s network.</extracomment>
        <translation>Un seul réseau</translation>
    </message>
    <message>
        <source>Settings could not be saved: %1</source>
        <extracomment>In the status bar; %1 is the settings file.</extracomment>
        <translation>Réglages non enregistrés : %1</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <extracomment>Menu bar; access key unique in the menu bar.</extracomment>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <extracomment>File menu: search again; access key unique in the File menu.</extracomment>
        <translation>&amp;Rechercher</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <extracomment>File menu: open the selected device&apos;s web page; access key unique in the File menu.</extracomment>
        <translation>&amp;Ouvrir</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <extracomment>File menu; access key unique in the File menu.</extracomment>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <extracomment>Menu bar; access key unique in the menu bar.</extracomment>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>Lar&amp;ge Image</source>
        <extracomment>View menu; access key unique in the View menu.</extracomment>
        <translation>&amp;Grandes icônes</translation>
    </message>
    <message>
        <source>S&amp;mall Image</source>
        <extracomment>View menu; access key unique in the View menu.</extracomment>
        <translation>&amp;Petites icônes</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <extracomment>Menu bar; access key unique in the menu bar.</extracomment>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>&amp;Find:</source>
        <extracomment>The label of the find field; the letter after &amp; is its access key.</extracomment>
        <translation>&amp;Filtre :</translation>
    </message>
    <message>
        <source>Find devices</source>
        <extracomment>Name of the find field for screen readers; it narrows the list of devices.</extracomment>
        <translation>Filtrer les appareils</translation>
    </message>
    <message>
        <source>Model, IPv4, MAC or firmware</source>
        <translation>Modèle, IPv4, MAC ou firmware</translation>
    </message>
    <message>
        <source>  Interface: %1</source>
        <extracomment>After a device&apos;s details in the status bar: the network interface it answered on.</extracomment>
        <translation>  Interface : %1</translation>
    </message>
    <message>
        <source>  not answering since %1</source>
        <extracomment>After a device&apos;s details in the status bar: %1 is the time of day it last answered.</extracomment>
        <translation>  sans réponse depuis %1</translation>
    </message>
    <message>
        <source>Could not open %1</source>
        <extracomment>In the status bar when no web browser could be started; %1 is the device&apos;s address.</extracomment>
        <translation>Impossible d&apos;ouvrir %1</translation>
    </message>
    <message>
        <source>&amp;Auto Refresh</source>
        <extracomment>File menu, a check item; access key unique in the File menu.</extracomment>
        <translation>&amp;Actualisation automatique</translation>
    </message>
    <message>
        <source>&amp;Save List As…</source>
        <extracomment>File menu: save the listed devices as CSV or JSON; access key unique in the File menu.</extracomment>
        <translation>Enregistrer la liste &amp;sous…</translation>
    </message>
    <message>
        <source>&amp;Details</source>
        <extracomment>View menu: the table with one column per detail; access key unique in the View menu.</extracomment>
        <translation>&amp;Détails</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <extracomment>View menu: show the find field; access key unique in the View menu.</extracomment>
        <translation>&amp;Filtrer...</translation>
    </message>
    <message>
        <source>&amp;Search All Networks</source>
        <extracomment>View menu, a check item; access key unique in the View menu.</extracomment>
        <translation>Rechercher sur &amp;tous les réseaux</translation>
    </message>
    <message>
        <source>Copy &amp;IPv4 Address</source>
        <extracomment>Context menu of a device; access key unique in this menu.</extracomment>
        <translation>Copier l&apos;adresse &amp;IPv4</translation>
    </message>
    <message>
        <source>Copy &amp;MAC Address</source>
        <extracomment>Context menu of a device; access key unique in this menu.</extracomment>
        <translation>Copier l&apos;adresse &amp;MAC</translation>
    </message>
    <message>
        <source>Copy &amp;Rows</source>
        <extracomment>Context menu with several devices selected; access key unique in this menu.</extracomment>
        <translation>Copier les &amp;lignes</translation>
    </message>
    <message>
        <source>Copy &amp;Row</source>
        <extracomment>Context menu of a device; access key unique in this menu.</extracomment>
        <translation>Copier la &amp;ligne</translation>
    </message>
    <message>
        <source>The list could not be saved to %1:
%2</source>
        <extracomment>A box after a failed save; %1 is the file, %2 the system&apos;s reason.</extracomment>
        <translation>Impossible d&apos;enregistrer la liste dans %1 :
%2</translation>
    </message>
    <message>
        <source>List saved to %1</source>
        <extracomment>In the status bar after a save; %1 is the file.</extracomment>
        <translation>Liste enregistrée : %1</translation>
    </message>
    <message>
        <source>Save List As</source>
        <extracomment>Title of the file dialog that saves the device list (File &gt; Save List As…).</extracomment>
        <translation>Enregistrer la liste sous</translation>
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
        <translation>Erreur de l&apos;application</translation>
    </message>
</context>
</TS>
