#!/usr/bin/env bash
# The layers, as their includes show them: each folder includes only itself and the folders
# below it, and nothing below ui/ includes a widget, a chart or a picture.
#   telemetry/ <- intake/ <- archive/ <- batch/ <- programs/
#   telemetry/ <- limits/ <- exports/ <- batch/, ui/
#   orbit/ <- exports/, batch/, ui/
#   archive/, exports/ <- ui/ <- programs/
set -uo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
    [telemetry]="telemetry"
    [intake]="telemetry|intake"
    [limits]="telemetry|limits"
    [orbit]="orbit"
    [exports]="telemetry|limits|orbit|exports"
    [archive]="telemetry|intake|archive"
    [batch]="telemetry|intake|limits|orbit|exports|archive|batch"
    [ui]="telemetry|intake|limits|orbit|exports|archive|ui"
)
status=0
for layer in telemetry intake limits orbit exports archive batch ui; do
    upward=$(grep -rnE '^#include "' "$layer" | grep -vE "#include \"(${allowed[$layer]})/")
    if [[ -n "$upward" ]]; then
        echo "$layer/ includes a layer above it:"; echo "$upward"; status=1
    fi
done
widgets=$(grep -rnE '^#include <(Qt(Widgets|Gui|PrintSupport)/|Q(Widget|Application|MainWindow|Label|LineEdit|PlainTextEdit|Pixmap|Image|Painter|Color|Font)\b|qcustomplot)' \
    telemetry intake limits orbit exports archive batch)
if [[ -n "$widgets" ]]; then
    echo "Widgets or pictures below ui/:"; echo "$widgets"; status=1
fi
# Inside a folder, the pieces (a header and its source) include each other one way only.
for layer in telemetry intake limits orbit exports archive batch ui programs; do
    edges=$(grep -rE '^#include "' "$layer" --include='*.h' --include='*.cpp' |
        sed -E 's|^([^:]*)\.(h\|cpp):#include "([^"]*)\.h".*|\1 \3|' | sed -E 's|^[^ ]*/||; s| .*/| |')
    if ! tsort <<<"$edges" >/dev/null 2>&1; then
        echo "$layer/ has an include loop:"; tsort <<<"$edges" 2>&1 >/dev/null | grep -v '^tsort: -: input contains a loop:'; status=1
    fi
done
(( status == 0 )) && echo "layers hold"
exit $status
