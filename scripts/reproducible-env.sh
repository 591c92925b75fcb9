# Sourced by scripts/build.sh and scripts/package.sh, so that two builds of
# one commit give the same bytes wherever the clone is, and the releases
# can be packed from the builds the tests ran on: every timestamp is the
# commit's, and archives store permissions as the umask left them.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
umask 022
export TZ=UTC LC_ALL=C.UTF-8
