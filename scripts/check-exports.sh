#!/usr/bin/env bash
# Checks the names a built stroke runtime library exports: scripts/check-exports.sh LIBPATH
# - the marker function is defined and exported;
# - the classes TAQMoStroke and TAQMoStrokeData are exported;
# - no backend (modeler kernel) name is exported, not even inside a signature;
# - nothing outside the TAQ* / VOR* classes and the marker is exported (their compiler-made type
#   information, virtual tables and thunks are allowed), and no private implementation (::Impl) of them.
# Prints every offending name and exits 1 when any check fails.
set -euo pipefail
lib=${1:?usage: check-exports.sh LIBPATH}
if [ ! -f "$lib" ]; then
  echo "check-exports: no library at $lib" >&2
  exit 2
fi

symbols=$(nm -DC --defined-only "$lib")
names=$(sed -E 's/^[0-9a-fA-F]* *[A-Za-z] +//' <<<"$symbols")
failed=0
fail() {
  echo "check-exports: $1" >&2
  if [ -n "${2:-}" ]; then sed 's/^/    /' <<<"$2" >&2; fi
  failed=1
}

grep -Eq '^[0-9a-fA-F]+ T KORVANIX_ZELA2_INTERNAL_TAQMoRuntimeStroke$' <<<"$symbols" ||
  fail "the marker function KORVANIX_ZELA2_INTERNAL_TAQMoRuntimeStroke is not an exported function"
for class in TAQMoStroke TAQMoStrokeData; do
  grep -Eq "^[0-9a-fA-F]+ T ${class}::${class}\(\)$" <<<"$symbols" ||
    fail "class $class is not exported (no default constructor among the exported names)"
  grep -Eq "^[0-9a-fA-F]+ T ${class}::~${class}\(\)$" <<<"$symbols" ||
    fail "class $class is not exported (no destructor among the exported names)"
done

backend='Standard_|Geom_|Geom2d_|GeomAPI|GeomAbs_|GeomFill|TopoDS|TopLoc_|TopAbs_|TopExp|TopTools|BRep|gp_|gp::|opencascade::|NCollection_|TColStd_|TColgp_|TColGeom|Handle_|BSplCLib|Poly_|math_|Precision::|Adaptor3d|GeomAdaptor|Extrema_|IntCurve|ShapeFix_|ShapeAnalysis_|STEPControl|Interface_|XSControl_|Message_|OSD_|Bnd_'
leaked=$(grep -E "$backend" <<<"$names" || true)
[ -z "$leaked" ] || fail "backend names are exported:" "$leaked"

allowed='^(KORVANIX_ZELA2_INTERNAL_TAQMoRuntimeStroke$|(TAQ|VOR)[A-Za-z0-9_]*(::|<|\(|$)|(typeinfo for|typeinfo name for|vtable for|VTT for|construction vtable for [^ ]+-in-|non-virtual thunk to|virtual thunk to) (TAQ|VOR))'
outside=$(grep -Ev "$allowed" <<<"$names" || true)
[ -z "$outside" ] || fail "names outside the library's classes are exported:" "$outside"

internal=$(grep -E '::Impl(::|$|[ (])' <<<"$names" || true)
[ -z "$internal" ] || fail "private implementation names are exported:" "$internal"

count=$(grep -c . <<<"$names" || true)
if [ "$failed" -ne 0 ]; then
  echo "check-exports: FAILED ($count exported names in $lib)" >&2
  exit 1
fi
echo "check-exports: $count exported names, all the library's own"
