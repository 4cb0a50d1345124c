#!/usr/bin/env python3
"""Writes the four terms-of-use documents (data/terms/terms-<n>-<lang>.rtf).

The documents are plain Rich Text Format in ASCII: characters outside ASCII
are written as \\'hh (Windows-1252) or \\uN escapes. Headings start with "# ".
Run from anywhere: python3 data/tools/make_terms.py
"""
import os

TERMS = {
    (185, "en"): [
        "# VRX4 configuration software - Terms of use",
        "Please read these terms before you use the VRX4 configuration software. By pressing \"I Agree\" you accept them; by pressing \"I disagree\" you leave the program.",
        "# 1. What the software does",
        "The software reads and changes the parameters stored in the EEPROM memories of a VRX4 electro-pneumatic pressure regulator, shows its live values and records them. It is meant for trained technicians and machine builders.",
        "# 2. Your responsibility",
        "Changing the parameters of a regulator changes the pressure it delivers. Before you write parameters to a regulator that is fitted to a machine, make sure that the machine is in a safe state and that nobody can be hurt by a change of pressure. Keep a copy of the configuration (Tools, Save as...) before you change it.",
        "# 3. Access codes",
        "The SETTING and SETTING PRO modes are protected by access codes. Give them only to people who are trained to set up the regulator. Forcing test values on the inputs and outputs is for commissioning and maintenance only.",
        "# 4. Warranty",
        "The regulator's specifications are guaranteed only with the initial values of the PID parameters given in the instruction manual. The software is supplied as it is, without any warranty beyond what the law requires. The maker is not liable for damage caused by parameters that were changed with the software.",
        "# 5. Copies",
        "You may install the software on the computers that you use to set up and maintain VRX4 regulators. You may not sell it or change it.",
        "By pressing \"I Agree\" you confirm that you have read and accepted these terms. They are shown only once.",
    ],
    (186, "fr"): [
        "# Logiciel de configuration VRX4 - Conditions d'utilisation",
        "Veuillez lire ces conditions avant d'utiliser le logiciel de configuration VRX4. En cliquant sur « J'accepte », vous les acceptez ; en cliquant sur « Je refuse », vous quittez le programme.",
        "# 1. Rôle du logiciel",
        "Le logiciel lit et modifie les paramètres enregistrés dans les mémoires EEPROM d'un régulateur de pression électropneumatique VRX4, affiche ses valeurs en direct et les enregistre. Il est destiné aux techniciens formés et aux constructeurs de machines.",
        "# 2. Votre responsabilité",
        "Modifier les paramètres d'un régulateur modifie la pression qu'il délivre. Avant d'écrire des paramètres dans un régulateur monté sur une machine, assurez-vous que la machine est en sécurité et que personne ne peut être blessé par un changement de pression. Conservez une copie de la configuration (Outils, Enregistrer sous...) avant de la modifier.",
        "# 3. Codes d'accès",
        "Les modes RÉGLAGE et RÉGLAGE PRO sont protégés par des codes d'accès. Ne les communiquez qu'aux personnes formées au réglage du régulateur. Le forçage de valeurs de test sur les entrées et les sorties est réservé à la mise en service et à la maintenance.",
        "# 4. Garantie",
        "Les caractéristiques du régulateur ne sont garanties qu'avec les valeurs initiales des paramètres PID indiquées dans le manuel d'utilisation. Le logiciel est fourni en l'état, sans autre garantie que celle prévue par la loi. Le fabricant n'est pas responsable des dommages causés par des paramètres modifiés avec le logiciel.",
        "# 5. Copies",
        "Vous pouvez installer le logiciel sur les ordinateurs qui vous servent à régler et à entretenir des régulateurs VRX4. Vous ne pouvez ni le vendre ni le modifier.",
        "En cliquant sur « J'accepte », vous confirmez avoir lu et accepté ces conditions. Elles ne sont affichées qu'une seule fois.",
    ],
    (184, "de"): [
        "# VRX4-Konfigurationssoftware - Nutzungsbedingungen",
        "Bitte lesen Sie diese Bedingungen, bevor Sie die VRX4-Konfigurationssoftware verwenden. Mit „Ich stimme zu“ nehmen Sie sie an; mit „Ich lehne ab“ beenden Sie das Programm.",
        "# 1. Was die Software tut",
        "Die Software liest und ändert die Parameter in den EEPROM-Speichern eines elektropneumatischen Druckreglers VRX4, zeigt seine aktuellen Werte an und zeichnet sie auf. Sie ist für geschulte Techniker und Maschinenbauer bestimmt.",
        "# 2. Ihre Verantwortung",
        "Wer die Parameter eines Reglers ändert, ändert den Druck, den er liefert. Bevor Sie Parameter in einen Regler schreiben, der in eine Maschine eingebaut ist, bringen Sie die Maschine in einen sicheren Zustand und stellen Sie sicher, dass niemand durch eine Druckänderung verletzt werden kann. Sichern Sie die Konfiguration (Werkzeuge, Speichern unter...), bevor Sie sie ändern.",
        "# 3. Zugangscodes",
        "Die Modi EINSTELLUNG und EINSTELLUNG PRO sind durch Zugangscodes geschützt. Geben Sie diese nur an Personen weiter, die für die Einstellung des Reglers geschult sind. Das Erzwingen von Testwerten an Ein- und Ausgängen ist nur für Inbetriebnahme und Wartung gedacht.",
        "# 4. Gewährleistung",
        "Die Daten des Reglers gelten nur mit den Anfangswerten der PID-Parameter aus der Bedienungsanleitung. Die Software wird so geliefert, wie sie ist, ohne Gewährleistung über das gesetzlich Vorgeschriebene hinaus. Der Hersteller haftet nicht für Schäden durch Parameter, die mit der Software geändert wurden.",
        "# 5. Kopien",
        "Sie dürfen die Software auf den Rechnern installieren, mit denen Sie VRX4-Regler einstellen und warten. Sie dürfen sie weder verkaufen noch verändern.",
        "Mit „Ich stimme zu“ bestätigen Sie, dass Sie diese Bedingungen gelesen und angenommen haben. Sie werden nur einmal angezeigt.",
    ],
    (183, "it"): [
        "# Software di configurazione VRX4 - Condizioni d'uso",
        "Leggere queste condizioni prima di usare il software di configurazione VRX4. Premendo «Accetto» le si accetta; premendo «Rifiuto» si esce dal programma.",
        "# 1. A cosa serve il software",
        "Il software legge e modifica i parametri memorizzati nelle EEPROM di un regolatore di pressione elettropneumatico VRX4, ne mostra i valori in tempo reale e li registra. È destinato a tecnici qualificati e costruttori di macchine.",
        "# 2. La vostra responsabilità",
        "Modificare i parametri di un regolatore modifica la pressione che esso fornisce. Prima di scrivere parametri in un regolatore montato su una macchina, assicurarsi che la macchina sia in condizioni sicure e che nessuno possa essere ferito da una variazione di pressione. Conservare una copia della configurazione (Strumenti, Salva con nome...) prima di modificarla.",
        "# 3. Codici di accesso",
        "Le modalità IMPOSTAZIONE e IMPOSTAZIONE PRO sono protette da codici di accesso. Comunicarli solo a persone formate per la regolazione del regolatore. La forzatura di valori di test su ingressi e uscite è riservata alla messa in servizio e alla manutenzione.",
        "# 4. Garanzia",
        "Le specifiche del regolatore sono garantite solo con i valori iniziali dei parametri PID riportati nel manuale d'uso. Il software è fornito così com'è, senza garanzie oltre quelle previste dalla legge. Il costruttore non risponde dei danni causati da parametri modificati con il software.",
        "# 5. Copie",
        "È consentito installare il software sui computer usati per regolare e mantenere i regolatori VRX4. Non è consentito venderlo né modificarlo.",
        "Premendo «Accetto» si conferma di aver letto e accettato queste condizioni. Vengono mostrate una sola volta.",
    ],
}


def escape(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif code < 0x80:
            out.append(ch)
        else:
            try:
                byte = ch.encode("cp1252")
                out.append("\\'%02x" % byte[0])
            except UnicodeEncodeError:
                out.append("\\u%d?" % (code if code < 0x8000 else code - 0x10000))
    return "".join(out)


def document(paragraphs):
    lines = ["{\\rtf1\\ansi\\ansicpg1252\\deff0",
             "{\\fonttbl{\\f0\\fswiss Arial;}}",
             "\\f0\\fs20"]
    for p in paragraphs:
        if p.startswith("# "):
            lines.append("{\\b\\fs24 " + escape(p[2:]) + "}\\par")
        else:
            lines.append(escape(p) + "\\par")
    lines.append("}")
    return "\r\n".join(lines) + "\r\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = os.path.join(here, "..", "terms")
    os.makedirs(folder, exist_ok=True)
    for (number, lang), paragraphs in TERMS.items():
        path = os.path.join(folder, "terms-%d-%s.rtf" % (number, lang))
        with open(path, "w", encoding="ascii", newline="") as f:
            f.write(document(paragraphs))


if __name__ == "__main__":
    main()
