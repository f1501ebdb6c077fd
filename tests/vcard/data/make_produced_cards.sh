#!/bin/bash
# Regenerates the produced_by_*.vcf cards: one contact, filled with as many
# fields as each program offers, exported by that program's own vCard code.
# None of these files is written or edited by hand; run this to make them
# again (UIDs and REV stamps will differ).
#
# Made with Debian 12 packages:
#   abook 0.6.1-2+b1                         produced_by_abook.vcf
#   libebook-contacts-1.2-4 3.46.4-2+deb12u1  produced_by_evolution_v21.vcf, _v30.vcf
#     (the contact library of Evolution, through a small C program below)
#   khard 0.18.0-1, python3-vobject 0.9.6.1-2 produced_by_khard_v30.vcf, _v40.vcf
#   gammu 1.42.0-8                            produced_by_gammu.vcf
#     (a phone backup converted to vCard; gammu 1.42 writes a Jabber ID as a
#     line without a property name, so the backup leaves it out)
# Needs: apt-get install abook libebook-contacts1.2-dev pkg-config gcc khard gammu imagemagick
set -euo pipefail
out=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A small picture for the producers that carry one.
convert -size 16x16 gradient:steelblue-white -strip png:photo.png

# --- abook: its own address book file, converted by abook ---------------------
cat > book.abook <<'EOF'
# abook addressbook file

[format]
program=abook
version=0.6.1

[0]
name=Dr. Élodie Marguerite Brønstad-Núñez
email=elodie@hafnia-instruments.example,lodie@post.example,e.bn@forening.example
address=Nørre Voldgade 12
address2=3. sal
city=København K
state=Hovedstaden
zip=1358
country=Danmark
phone=+45 35 55 12 12
workphone=+45 33 55 01 10
fax=+45 33 55 01 19
mobile=+45 20 55 77 31
nick=Lodie
url=https://hafnia-instruments.example/akustik
notes=Mødt på messen i Hannover; ring aldrig før kl. 9
anniversary=1981-09-14
groups=Kunder,Akustik
EOF
abook --convert --informat abook --infile book.abook --outformat vcard --outfile "$out/produced_by_abook.vcf"

# --- Evolution's contact library: each field set through e_contact_set ----------
cat > evolution_card.c <<'EOF'
#include <libebook-contacts/libebook-contacts.h>
#include <stdio.h>

static void put(EContact* c, EContactField f, const char* v) { e_contact_set(c, f, v); }

static void address(EContact* c, EContactField f, const char* street, const char* ext, const char* po,
                    const char* locality, const char* region, const char* code, const char* country)
{
    EContactAddress a = {0};
    a.street = (char*)street; a.ext = (char*)ext; a.po = (char*)po; a.locality = (char*)locality;
    a.region = (char*)region; a.code = (char*)code; a.country = (char*)country;
    e_contact_set(c, f, &a);
}

int main(int argc, char** argv)
{
    EContact* c = e_contact_new();
    EContactName name = {"Brønstad-Núñez", "Élodie", "Marguerite", "Dr.", "PhD"};
    e_contact_set(c, E_CONTACT_NAME, &name);
    put(c, E_CONTACT_FULL_NAME, "Dr. Élodie Marguerite Brønstad-Núñez PhD");
    put(c, E_CONTACT_FILE_AS, "Brønstad-Núñez, Élodie");
    put(c, E_CONTACT_NICKNAME, "Lodie");
    put(c, E_CONTACT_ORG, "Hafnia Ørsted Instruments");
    put(c, E_CONTACT_ORG_UNIT, "Akustik");
    put(c, E_CONTACT_OFFICE, "3.14 Nord");
    put(c, E_CONTACT_TITLE, "Chefingeniør");
    put(c, E_CONTACT_ROLE, "Produktansvarlig");
    put(c, E_CONTACT_MANAGER, "Jens Kjær");
    put(c, E_CONTACT_ASSISTANT, "Signe Holm");
    put(c, E_CONTACT_SPOUSE, "Mads Brønstad");
    put(c, E_CONTACT_PHONE_BUSINESS, "+45 33 55 01 10");
    put(c, E_CONTACT_PHONE_BUSINESS_2, "+45 33 55 01 11");
    put(c, E_CONTACT_PHONE_MOBILE, "+45 20 55 77 31");
    put(c, E_CONTACT_PHONE_HOME, "+45 35 55 12 12");
    put(c, E_CONTACT_PHONE_HOME_2, "+45 35 55 12 13");
    put(c, E_CONTACT_PHONE_BUSINESS_FAX, "+45 33 55 01 19");
    put(c, E_CONTACT_PHONE_HOME_FAX, "+45 35 55 12 19");
    put(c, E_CONTACT_PHONE_PAGER, "+45 70 55 00 01");
    put(c, E_CONTACT_PHONE_CAR, "+45 40 55 88 02");
    put(c, E_CONTACT_PHONE_RADIO, "+45 70 55 00 03");
    put(c, E_CONTACT_PHONE_ASSISTANT, "+45 33 55 01 20");
    put(c, E_CONTACT_PHONE_OTHER, "+45 70 55 00 04");
    put(c, E_CONTACT_PHONE_COMPANY, "+45 33 55 01 00");
    put(c, E_CONTACT_PHONE_ISDN, "+45 70 55 00 05");
    put(c, E_CONTACT_PHONE_OTHER_FAX, "+45 70 55 00 07");
    put(c, E_CONTACT_PHONE_TELEX, "+45 70 55 00 09");
    put(c, E_CONTACT_EMAIL_1, "elodie@hafnia-instruments.example");
    put(c, E_CONTACT_EMAIL_2, "lodie@post.example");
    put(c, E_CONTACT_EMAIL_3, "e.bn@forening.example");
    put(c, E_CONTACT_EMAIL_4, "elodie.fourth@example.org");
    put(c, E_CONTACT_HOMEPAGE_URL, "https://hafnia-instruments.example/akustik");
    put(c, E_CONTACT_BLOG_URL, "https://lodie.example/blog");
    put(c, E_CONTACT_CALENDAR_URI, "https://cal.example/elodie");
    put(c, E_CONTACT_FREEBUSY_URL, "https://cal.example/elodie/fb");
    put(c, E_CONTACT_VIDEO_URL, "https://video.example/elodie");
    put(c, E_CONTACT_NOTE, "Mødt på messen i Hannover.\nFortrækker e-mail; ring aldrig før kl. 9 — sekretariatet ved besked.");
    put(c, E_CONTACT_CATEGORIES, "Kunder,Akustik");
    put(c, E_CONTACT_IM_JABBER_HOME_1, "elodie@jabber.example");
    put(c, E_CONTACT_IM_SKYPE_WORK_1, "elodie.bn");
    put(c, E_CONTACT_IM_ICQ_HOME_1, "123456789");
    put(c, E_CONTACT_IM_AIM_HOME_1, "lodieaim");
    address(c, E_CONTACT_ADDRESS_WORK, "Nørre Voldgade 12", "3. sal", "", "København K", "Hovedstaden", "1358", "Danmark");
    address(c, E_CONTACT_ADDRESS_HOME, "Strandvejen 140", "", "", "Hellerup", "", "2900", "Danmark");
    address(c, E_CONTACT_ADDRESS_OTHER, "Sommerhusvej 7", "", "Postboks 44", "Skagen", "Nordjylland", "9990", "Danmark");
    EContactDate birthday = {1981, 9, 14}, anniversary = {2010, 6, 19};
    e_contact_set(c, E_CONTACT_BIRTH_DATE, &birthday);
    e_contact_set(c, E_CONTACT_ANNIVERSARY, &anniversary);
    gchar* png = NULL;
    gsize size = 0;
    if (argc > 2 && g_file_get_contents(argv[2], &png, &size, NULL)) {
        EContactPhoto photo = {0};
        photo.type = E_CONTACT_PHOTO_TYPE_INLINED;
        photo.data.inlined.mime_type = (char*)"image/png";
        photo.data.inlined.data = (guchar*)png;
        photo.data.inlined.length = size;
        e_contact_set(c, E_CONTACT_PHOTO, &photo);
    }
    put(c, E_CONTACT_UID, "evolution-elodie-0001");
    gchar* text = e_vcard_to_string(E_VCARD(c), g_str_equal(argv[1], "2.1") ? EVC_FORMAT_VCARD_21 : EVC_FORMAT_VCARD_30);
    fputs(text, stdout);
    return 0;
}
EOF
gcc -o evolution_card evolution_card.c $(pkg-config --cflags --libs libebook-contacts-1.2) 2>/dev/null
./evolution_card 2.1 photo.png > "$out/produced_by_evolution_v21.vcf"
./evolution_card 3.0 photo.png > "$out/produced_by_evolution_v30.vcf"

# --- khard: a new contact from its YAML template, in both versions it writes ---
mkdir -p config/khard book
cat > config/khard/khard.conf <<EOF
[addressbooks]
[[people]]
path = $work/book

[general]
default_action = list
editor = /bin/true
merge_editor = /bin/true

[vcard]
private_objects = Jabber, Skype
EOF
cat > contact.yaml <<'EOF'
Formatted name : Dr. Élodie Marguerite Brønstad-Núñez PhD
Prefix     : Dr.
First name : Élodie
Additional : Marguerite
Last name  : Brønstad-Núñez
Suffix     : PhD
Nickname : Lodie
Anniversary : 2010-06-19
Birthday : 1981-09-14
Organisation :
    -
        - Hafnia Ørsted Instruments
        - Akustik
Title : Chefingeniør
Role  : Produktansvarlig
Phone :
    work, voice : +45 33 55 01 10
    cell : +45 20 55 77 31
    home, voice : +45 35 55 12 12
    work, fax : +45 33 55 01 19
    home, fax : +45 35 55 12 19
    pager : +45 70 55 00 01
    car : +45 40 55 88 02
Email :
    work, pref : elodie@hafnia-instruments.example
    home : lodie@post.example
Address :
    work :
        Box      :
        Extended : 3. sal
        Street   : Nørre Voldgade 12
        Code     : 1358
        City     : København K
        Region   : Hovedstaden
        Country  : Danmark
    home :
        Box      :
        Extended :
        Street   : Strandvejen 140
        Code     : 2900
        City     : Hellerup
        Region   :
        Country  : Danmark
Categories :
    - Kunder
    - Akustik
Webpage : https://hafnia-instruments.example/akustik
Private :
    Jabber : elodie@jabber.example
    Skype : elodie.bn
Note : |
    Mødt på messen i Hannover.
    Fortrækker e-mail; ring aldrig før kl. 9 — sekretariatet ved besked.
EOF
for version in 3.0 4.0; do
    rm -f book/*.vcf
    XDG_CONFIG_HOME="$work/config" khard new -a people -i contact.yaml --vcard-version $version </dev/null >/dev/null
    cp book/*.vcf "$out/produced_by_khard_v${version%.0}0.vcf"
done

# --- gammu: a phone's address book backup, converted to vCard -----------------
text() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16BE | xxd -p | tr -d '\n'; }
{
    echo '[Backup]'
    echo 'Format = 1.04'
    echo
    echo '[PhonePBK001]'
    echo 'Location = 1'
    n=0
    while IFS='|' read -r type value; do
        printf 'Entry%02dType = %s\nEntry%02dTextUnicode = %s\n' $n "$type" $n "$(text "$value")"
        n=$((n + 1))
    done <<'EOF'
FirstName|Élodie
LastName|Brønstad-Núñez
NumberMobile|+4520557731
NumberWork|+4533550110
NumberHome|+4535551212
NumberFax|+4533550119
NumberPager|+4570550001
NumberOther|+4570550004
Email|elodie@hafnia-instruments.example
Email2|lodie@post.example
URL|https://hafnia-instruments.example/akustik
Note|Mødt på messen i Hannover; ring aldrig før kl. 9
Company|Hafnia Ørsted Instruments
JobTitle|Chefingeniør
Address|Nørre Voldgade 12
City|København K
State|Hovedstaden
Zip|1358
Country|Danmark
NickName|Lodie
EOF
    printf 'Entry%02dType = Date\nEntry%02dText = 19810914T000000\n' $n $n
} > phone.backup
gammu convertbackup phone.backup "$out/produced_by_gammu.vcf" 2>/dev/null
