#!/usr/bin/env bash
# Takes screenshots of the main window for docs/screenshots/: the program runs
# on a virtual display (Xvfb) from a copy in a temporary folder, with its own
# harpoly.ini pointing at a generated sample folder (a picture, an RTF letter
# and a text memo), and each preview is captured in turn.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/harpoly"
out="$root/docs/screenshots"
CONVERT=${CONVERT:-/usr/bin/convert}
[ -x "$CONVERT" ] || CONVERT=convert
for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "needs $tool (scripts/install-deps.sh)" >&2; exit 1; }
done
[ -x "$bin" ] || { echo "build the program first (make build)" >&2; exit 1; }

work=$(mktemp -d /tmp/harpoly.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog" "$work/runtime" "$out"
chmod 700 "$work/runtime"
cp "$bin" "$work/prog/harpoly"
sample="$work/サンプル"
mkdir -p "$sample"

# A picture: hills under an evening sky.
"$CONVERT" -size 640x400 gradient:'#2b5d9b-#f4c16a' \
    -fill '#3d6b35' -draw 'polygon 0,400 0,290 140,220 300,300 450,200 640,280 640,400' \
    -fill '#2a4d25' -draw 'polygon 0,400 0,340 220,300 420,360 640,320 640,400' \
    -fill '#fff3c4' -draw 'circle 500,110 500,150' \
    -quality 90 "$sample/hills.jpg"

# Rich text in Shift-JIS, as word processors on the other system write it.
printf '%s' '{\rtf1\ansi\ansicpg932\deff0{\fonttbl{\f0\fnil\fcharset128 IPAPGothic;}}' \
    '{\colortbl;\red192\green0\blue0;\red0\green96\blue160;}' \
    '\f0\fs36\b ' > "$sample/letter.rtf"
printf 'お知らせ' | iconv -f UTF-8 -t CP932 | od -An -tx1 -v | tr -s ' \n' ' ' |
    sed 's/ \([0-9a-f][0-9a-f]\)/\\'"'"'\1/g' >> "$sample/letter.rtf"
printf '%s' '\b0\fs24\par\par ' >> "$sample/letter.rtf"
printf '%s' 'Harpoly ' >> "$sample/letter.rtf"
printf 'は、フォルダのファイルを一覧し、' | iconv -f UTF-8 -t CP932 | od -An -tx1 -v |
    tr -s ' \n' ' ' | sed 's/ \([0-9a-f][0-9a-f]\)/\\'"'"'\1/g' >> "$sample/letter.rtf"
printf '%s' '\cf1\b ' >> "$sample/letter.rtf"
printf '画像・テキスト・リッチテキスト' | iconv -f UTF-8 -t CP932 | od -An -tx1 -v |
    tr -s ' \n' ' ' | sed 's/ \([0-9a-f][0-9a-f]\)/\\'"'"'\1/g' >> "$sample/letter.rtf"
printf '%s' '\b0\cf0 ' >> "$sample/letter.rtf"
printf 'をプレビューします。' | iconv -f UTF-8 -t CP932 | od -An -tx1 -v |
    tr -s ' \n' ' ' | sed 's/ \([0-9a-f][0-9a-f]\)/\\'"'"'\1/g' >> "$sample/letter.rtf"
printf '%s' '\par\par\cf2\i ' >> "$sample/letter.rtf"
printf 'ビューアーとユーティリティー' | iconv -f UTF-8 -t CP932 | od -An -tx1 -v |
    tr -s ' \n' ' ' | sed 's/ \([0-9a-f][0-9a-f]\)/\\'"'"'\1/g' >> "$sample/letter.rtf"
printf '%s' '\i0\cf0\par}' >> "$sample/letter.rtf"

printf '%s\r\n' '買い物メモ' '' '・牛乳 1本' '・食パン' '・りんご 3個' '' \
    'Notes are shown as plain text in the preview pane.' > "$sample/memo.txt"

{
    printf '%s\r\n' '[Ext]' \
        'Ext=txt,htm,html,php,bat,ini,asx,smil,css,mpg,mpeg,wmv,asf,avi,jpg,jpeg,bmp,gif,png,rm,ram,ico,rtf' \
        'Txt=txt,htm,html,php,bat,ini,asx,smil,css,rtf' 'WM=mpg,mpeg,wmv,asf,avi' \
        'Img=jpg,jpeg,bmp,ico' 'Web=jpg,jpeg,bmp,gif,png' 'Real=rm,ram' ''
    printf '%s\r\n' '[Set]' 'H=520' 'W=760' 'T=0' 'L=0' 'Max=0' 'FL_W=150' \
        "Work=$sample/" "Dir=$sample/"
} > "$work/prog/harpoly.ini"

export XDG_RUNTIME_DIR="$work/runtime" HOME="$work"
export work out CONVERT
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    set -euo pipefail
    capture() { # window id, file name
        sleep 1
        import -window "$1" "$work/shot.png"
        "$CONVERT" "$work/shot.png" +dither -colors 256 "PNG8:$out/$2"
    }
    "$1" & pid=$!
    win=$(xdotool search --sync --name "^Harpoly")
    capture "$win" main-picture.png  # the first file: hills.jpg
    xdotool key Down
    capture "$win" main-rtf.png      # letter.rtf
    xdotool key Down
    capture "$win" main-text.png     # memo.txt
    kill -TERM $pid
    wait $pid
' _ "$work/prog/harpoly"
ls -l "$out"
