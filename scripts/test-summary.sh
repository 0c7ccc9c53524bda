#!/usr/bin/env bash
# Adds up the ctest summaries in the given logs and prints one closing line,
# "tests: N passed, N failed". Exits non-zero when anything failed or a
# suite printed no summary at all (it crashed or never ran).
set -uo pipefail
passed=0; failed=0; status=0
for log in "$@"; do
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [[ -z "$line" ]] && grep -q 'No tests were found' "$log"; then
    printf '%-10s %s\n' "$(basename "$log" .log):" "no tests in this configuration yet"
    continue
  fi
  if [[ -z "$line" ]]; then
    echo "$(basename "$log" .log): no test summary (suite did not run to its end)"
    status=1
    continue
  fi
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  printf '%-10s %s\n' "$(basename "$log" .log):" "$line"
  passed=$((passed + t - f)); failed=$((failed + f))
done
((failed == 0)) || status=1
echo "tests: $passed passed, $failed failed"
exit $status
