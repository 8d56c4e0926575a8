#!/usr/bin/env bash
# The hosted mode with a real host window: for each case the host stand-in creates a window
# on a virtual X display, starts the converter inside it and reports what it saw and the
# status the converter left in Tavolex.ini. Dialogs are answered by TTP_TEST_ANSWERS.
#   hosted_xvfb.sh CONVERTER HOST_STANDIN SAMPLE_XML TTP TAVOLEX_STANDIN
set -uo pipefail
converter=$1
standin=$2
sample=$3
ttp=$4
timetabler=$5

work=$(mktemp -d "${TMPDIR:-/tmp}/ttp-hosted-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

# run NAME ANSWERS STANDIN-ARGUMENTS...: a fresh program folder and staging folder per case;
# the report goes to $work/NAME/report, the converter's messages to $work/NAME/messages.
run() {
    local name=$1 answers=$2
    shift 2
    local dir=$work/$name
    mkdir -p "$dir/prog" "$dir/staging/Pedanor"
    cp "$converter" "$dir/prog/TransTavolexPedanor"
    cp "$sample" "$dir/staging/Pedanor/centro.xml"
    printf '%b' "${answers//@DIR@/$dir}" > "$dir/answers"
    if declare -F "prepare_$name" > /dev/null; then "prepare_$name" "$dir"; fi
    (
        unset QT_QPA_PLATFORM WAYLAND_DISPLAY
        export QT_QPA_PLATFORM=xcb TTP_TEST_ANSWERS=$dir/answers TTP_STAGING_DIR=$dir/staging
        xvfb-run -a -s "-screen 0 1280x1024x24" \
            "$standin" "$@" 2> "$dir/messages" > "$dir/report"
    )
}

expect() {  # expect NAME FILE LINE: FILE of case NAME holds LINE exactly
    if ! grep -qxF -- "$3" "$work/$1/$2"; then
        echo "FAIL [$1] $2 lacks: $3"
        echo "--- $2:"; cat "$work/$1/$2"; echo "---"
        failures=$((failures + 1))
    fi
}

prog() { echo "$work/$1/prog/TransTavolexPedanor"; }

# Embedded as a borderless child of the host, centred in its 800 x 600 client area; the host
# closes it as a person would: "0".
run embed '' --close-when-embedded "$(prog embed)" mostrar
expect embed report "embedded=1"
expect embed report "child=632x266+84+167"
expect embed report "decorations=0"
expect embed report "exit=0"
expect embed report "ini=0"

# The file dialog cancelled at the first run: the message, then "-1".
run cancel 'cancelar\n' "$(prog cancel)" exportar
expect cancel messages "mensaje: No existe archivo"
expect cancel report "embedded=1"
expect cancel report "ini=-1"

# A completed export, frames chosen in the dialog: "1".
run complete 'archivo @DIR@/staging/Pedanor/centro.xml\nmarcos 0\n' "$(prog complete)" EXPORTAR
expect complete messages "mensaje: Proceso finalizado"
expect complete report "ini=1"
expect complete report "exit=0"
if [ ! -f "$work/complete/staging/ASIGT.DBF" ]; then
    echo "FAIL [complete] no ASIGT.DBF in the staging folder"; failures=$((failures + 1))
fi

# A completed import over an export and the stand-in timetabler's solution: the result file
# beside the document, "1".
prepare_import() {
    "$ttp" exportar "$1/staging/Pedanor/centro.xml" --staging "$1/staging" --marcos 1,2 > /dev/null
    "$timetabler" "$1/staging" > /dev/null
}
run import 'archivo @DIR@/staging/Pedanor/centro.xml\n' "$(prog import)" importar
expect import messages "mensaje: Proceso finalizado"
expect import report "embedded=1"
expect import report "ini=1"
expect import report "exit=0"
if ! grep -q '<tramo dia=' "$work/import/staging/Pedanor/ResultadoTavolexcentro.xml" 2>/dev/null; then
    echo "FAIL [import] no timetable in ResultadoTavolexcentro.xml"; failures=$((failures + 1))
fi

# Nothing starts for an unknown direction; closed with Salir: "0".
run hand 'salir\n' "$(prog hand)" ninguna
expect hand report "ini=0"
expect hand report "exit=0"

# A handle that is no hexadecimal number: the error is reported, the export starts all the same,
# the window is not embedded and no status is written.
run badhandle 'cancelar\nsalir\n' "$(prog badhandle)" exportar 0x1A2B
expect badhandle messages "error: '\$0x1A2B' no es un valor entero válido."
expect badhandle messages "mensaje: No existe archivo"
expect badhandle report "embedded=0"
expect badhandle report "ini=none"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "hosted mode under Xvfb: all cases passed"
