#!/usr/bin/env bash
# Makes the user guide's screenshots (docs/screenshots/) from generated sample
# folders: the program runs offscreen from a copy in /tmp/harpoly-guide/.prog
# with its own harpoly.ini, and the screenshot driver (screenshot_driver.cpp,
# preloaded) plays the worked examples of docs/guide.md: it previews the
# samples, opens the folder chooser, runs every tool tab on them, shows full
# screen and the shortcut-key dialog, and saves a picture at each step. The
# results of the examples are checked afterwards.
#   BUILD   the build folder (default build/), holding harpoly and the driver
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
out="$root/docs/screenshots"
driver="$build/scripts/libharpoly_screenshot_driver.so"
for tool in convert iconv rsvg-convert; do
    command -v "$tool" >/dev/null || { echo "needs $tool (scripts/install-deps.sh run)" >&2; exit 1; }
done
[ -x "$build/harpoly" ] || { echo "build the program first (make program)" >&2; exit 1; }

# The samples live in /tmp/harpoly-guide, a fixed folder, so that the folder
# lines in the pictures read the same at every run. Where a private mount
# namespace can be had (root, or user namespaces), /tmp is an empty tmpfs
# there, so that the folder chooser shows no other files of this machine.
if [ -z "${HARPOLY_GUIDE_NAMESPACE:-}" ]; then
    cmake --build "$build" --target harpoly_screenshot_driver >/dev/null
    unshare=(unshare --mount --propagation private)
    [ "$(id -u)" -eq 0 ] || unshare+=(--map-root-user)
    if "${unshare[@]}" true 2>/dev/null; then
        export HARPOLY_GUIDE_NAMESPACE=1 BUILD="$build"
        exec "${unshare[@]}" bash -c 'mount -t tmpfs -o mode=1777 tmpfs /tmp && exec "$0"' "$0"
    fi
    echo "No private mount namespace: the folder chooser shows this machine's /tmp." >&2
fi
work=/tmp/harpoly-guide
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
pictures="$work/写真"
output="$work/出力"
# Names beginning with "." stay out of the folder tree.
mkdir -p "$work/.prog" "$work/.runtime" "$pictures" "$output" "$out"
chmod 700 "$work/.runtime"
cp "$build/harpoly" "$work/.prog/harpoly"

# ---------------------------------------------------------------- samples
# Photos: an evening landscape, a lake in autumn (both 1600 x 1200) and a
# shrine gate (900 x 1200).
convert -size 1600x1200 gradient:'#2b5d9b-#f4c16a' \
    -fill '#fff3c4' -draw 'circle 1250,300 1250,390' \
    -fill '#3d6b35' -draw 'polygon 0,1200 0,860 350,660 750,900 1120,600 1600,840 1600,1200' \
    -fill '#2a4d25' -draw 'polygon 0,1200 0,1020 550,900 1050,1080 1600,960 1600,1200' \
    -quality 88 "$pictures/IMG_0101.JPG"
convert -size 1600x1200 gradient:'#8fc3e8-#e8f1f7' \
    -fill '#c9572c' -draw 'ellipse 400,640 330,240 0,360' \
    -fill '#e08a2e' -draw 'ellipse 1150,620 380,260 0,360' \
    -fill '#b23a1c' -draw 'ellipse 780,700 260,200 0,360' \
    -fill '#3f6f9a' -draw 'rectangle 0,820 1600,1200' \
    -fill '#5f8fb8' -draw 'rectangle 0,880 1600,900' -draw 'rectangle 0,980 1600,992' \
    -quality 88 "$pictures/IMG_0102.JPG"
convert -size 900x1200 gradient:'#cfe3c8-#7fa36e' \
    -fill '#c8281e' -draw 'rectangle 120,260 780,320' -draw 'rectangle 170,390 730,430' \
    -draw 'rectangle 230,320 290,1200' -draw 'rectangle 610,320 670,1200' \
    -fill '#2b2b2b' -draw 'rectangle 90,220 810,265' \
    -quality 88 "$pictures/IMG_0103.JPG"
# Two thumbnails of 120 x 80.
convert -size 120x80 gradient:'#f4c16a-#2b5d9b' -quality 85 "$pictures/thumb_01.jpg"
convert -size 120x80 gradient:'#c9572c-#e8f1f7' -quality 85 "$pictures/thumb_02.jpg"
# An icon file of 32 x 32 and 16 x 16 from the program's own icon.
rsvg-convert -w 32 -h 32 "$root/packaging/org.harpoly.Harpoly.svg" -o "$work/.icon32.png"
rsvg-convert -w 16 -h 16 "$root/packaging/org.harpoly.Harpoly.svg" -o "$work/.icon16.png"
convert "$work/.icon32.png" "$work/.icon16.png" -background white -alpha remove "$pictures/app.ico"

# Rich text in Shift-JIS, as word processors on Windows write it.
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932 | od -An -tx1 -v | tr -s ' \n' ' ' |
    sed 's/ \([0-9a-f][0-9a-f]\)/\\'"'"'\1/g'; }
{
    printf '%s' '{\rtf1\ansi\ansicpg932\deff0{\fonttbl{\f0\fnil\fcharset128 IPAPGothic;}}' \
        '{\colortbl;\red192\green0\blue0;\red0\green96\blue160;}' '\f0\fs36\b '
    sjis 'お知らせ'
    printf '%s' '\b0\fs24\par\par Harpoly '
    sjis 'は、フォルダのファイルを一覧し、'
    printf '%s' '\cf1\b '
    sjis '画像・テキスト・リッチテキスト'
    printf '%s' '\b0\cf0 '
    sjis 'をプレビューします。'
    printf '%s' '\par\par\cf2\i '
    sjis 'ビューアーとユーティリティー'
    printf '%s' '\i0\cf0\par}'
} >"$pictures/お知らせ.rtf"
printf '%s\r\n' '買い物メモ' '' '・牛乳 1本' '・食パン' '・りんご 3個' '' \
    'テキストファイルはそのままプレビューされます。' >"$pictures/メモ.txt"
printf '%s\r\n' '定例会議 議事録' '' '1. 旅行写真の整理' '2. アルバムページの作成' \
    >"$pictures/議事録.text"

{
    printf '%s\r\n' '[Ext]' \
        'Ext=txt,htm,html,php,bat,ini,asx,smil,css,mpg,mpeg,wmv,asf,avi,jpg,jpeg,bmp,gif,png,rm,ram,ico,rtf' \
        'Txt=txt,htm,html,php,bat,ini,asx,smil,css,rtf' 'WM=mpg,mpeg,wmv,asf,avi' \
        'Img=jpg,jpeg,bmp,ico' 'Web=jpg,jpeg,bmp,gif,png' 'Real=rm,ram' ''
    printf '%s\r\n' '[Set]' 'H=520' 'W=760' 'T=0' 'L=0' 'Max=0' 'FL_W=160' \
        "Work=$output/" "Dir=$pictures/"
} >"$work/.prog/harpoly.ini"

# ---------------------------------------------------------------- the examples
# Commands of the driver, arguments separated by tabs (see screenshot_driver.cpp).
shots="$work/.shots"
mkdir -p "$shots"
tr '|' '\t' >"$work/.script" <<EOF
# The window, and the preview of a picture, rich text and plain text.
select|FL|IMG_0101.JPG
shot|$shots/main-picture.png
select|FL|お知らせ.rtf
shot|$shots/main-rtf.png
select|FL|メモ.txt
shot|$shots/main-text.png
select|FL|app.ico
shot|$shots/main-icon.png
# F7: the folder chooser of the display folder.
key|F7
wait|400
shot|$shots/folder-chooser.png
key|Esc
# リネーム1: the three photos become 旅行1.jpg to 旅行3.jpg.
tab|TS1
select|FL|IMG_0101.JPG|IMG_0102.JPG|IMG_0103.JPG
set|E1|旅行
set|E2|1
press|BEnt1
shot|$shots/tab-rename1.png
answer|ok
# リネーム2: 京都_ at the start of each name.
tab|TS7
select|FL|旅行1.jpg|旅行2.jpg|旅行3.jpg
set|CB7|先頭に
set|E7|京都_
press|BEnt7
shot|$shots/tab-rename2.png
answer|ok
# リネーム3: 旅行 replaced by 紅葉.
tab|TS9
select|FL|京都_旅行1.jpg|京都_旅行2.jpg|京都_旅行3.jpg
set|E91|旅行
set|E92|紅葉
press|BEnt9
shot|$shots/tab-rename3.png
answer|ok
# 拡張子変換: 議事録.text becomes 議事録.txt.
tab|TS2
select|FL|議事録.text
set|EExt|txt
press|BEnt2
shot|$shots/tab-extension.png
answer|ok
# リンク作成: an album page of the pictures, album.html.
tab|TS3
set|E3|album
set|RG3|アルバム(html)
press|BEnt3
shot|$shots/tab-link.png
answer|ok
# JPG選別1: pictures at least 1600 wide and 1200 high go to the output folder.
tab|TS5
set|EW|1600
set|CW|以上
set|CX|かつ
set|EH|1200
set|CH|以上
press|BEnt5
shot|$shots/tab-jpeg1.png
answer|ok
# JPG選別2: pictures of at most 10000 square pixels (the thumbnails) follow.
tab|TS6
set|SQ|10000
set|CSQ|以下
press|BEnt6
shot|$shots/tab-jpeg2.png
answer|ok
# タイムスタンプ: the photo left gets the modification time 2024-11-23 10:30.
tab|TS8
select|FL|京都_紅葉3.jpg
set|CB8|更新日時
set|DT1|2024-11-23
set|DT2|10:30:00
press|BEnt8
shot|$shots/tab-timestamp.png
answer|ok
# アイコン抽出: the icon of app.ico as a bitmap in the output folder.
tab|TS4
select|FL|app.ico
set|RG4|ビットマップ(bmp)
press|BEnt4
shot|$shots/tab-icon.png
answer|ok
# F9: full screen, F12: the shortcut-key dialog.
select|FL|京都_紅葉3.jpg
key|F9
wait|600
shot|$shots/fullscreen.png|TFull
key|Esc
wait|300
key|F12
wait|300
shot|$shots/shortcut-keys.png
press|BHKesc
quit
EOF

export HOME="$work" XDG_RUNTIME_DIR="$work/.runtime" XDG_CONFIG_HOME="$work/.config"
# A Japanese desktop: dates as 2024/11/23 (Qt has its own locale data, so
# no glibc locale needs installing).
export TZ=JST-9 LANG=ja_JP.UTF-8 QT_QPA_PLATFORM=offscreen
export HARPOLY_SCREENSHOT_SCRIPT="$work/.script"
status=0
LD_PRELOAD="$driver" timeout 180 "$work/.prog/harpoly" 2>"$work/.log" || status=$?
# The offscreen display's notes on what it cannot do are no news.
grep -v -e 'does not support' -e 'not accepted by receiving widget' "$work/.log" >&2 || true
[ $status -eq 0 ] || { echo "screenshots: the program or its script failed ($status)" >&2; exit 1; }

# ---------------------------------------------------------------- results
fail() { echo "screenshots: the example did not come out: $*" >&2; exit 1; }
for f in 京都_紅葉3.jpg 議事録.txt album.html; do
    [ -f "$pictures/$f" ] || fail "写真/$f is missing"
done
for f in 京都_紅葉1.jpg 京都_紅葉2.jpg thumb_01.jpg thumb_02.jpg app-0.bmp; do
    [ -f "$output/$f" ] || fail "出力/$f is missing"
done
# The album page of the guide: the two thumbnails and the three photos.
[ "$(grep -c '<img src=' "$pictures/album.html")" = 5 ] || fail "album.html: $(cat "$pictures/album.html")"
[ "$(TZ=JST-9 date -r "$pictures/京都_紅葉3.jpg" '+%F %T')" = '2024-11-23 10:30:00' ] ||
    fail "the timestamp of 京都_紅葉3.jpg is $(date -r "$pictures/京都_紅葉3.jpg")"

# Palette pictures: a fraction of the size, and the interface's flat colours keep.
# Without dates in them, a run that draws the same pictures changes no file.
rm -f "$out"/*.png
for shot in "$shots"/*.png; do
    convert "$shot" +dither -colors 256 -strip -define png:exclude-chunks=date,time \
        "PNG8:$out/$(basename "$shot")"
done
ls -l "$out"
