#!/bin/bash
# imports_functions.sh OBJDUMP EXE DLL FUNCTION...: fails unless the
# executable imports each named function from that DLL.
objdump=$1 exe=$2 dll=$3; shift 3
imported=$("$objdump" -p "$exe" | awk -v dll="$dll" '
    /DLL Name:/ { inside = (toupper($3) == toupper(dll)); next }
    inside && NF >= 3 && $1 ~ /^[0-9a-f]+$/ { print $3 }')
status=0
for function in "$@"; do
    if grep -qx "$function" <<<"$imported"; then echo "$exe imports $dll!$function"
    else echo "$exe does not import $dll!$function"; status=1; fi
done
exit $status
