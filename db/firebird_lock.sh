# Sourced by the scripts that run the engine's tools: names a lock folder of
# the user's own in FIREBIRD_LOCK, as the program does, unless one is named
# already. Without it the engine shares /tmp/firebird, which belongs to
# whoever ran a Firebird program on the machine first.

# private_folder PATH: makes PATH with mode 0700, or takes it when it is a
# folder of the user's own (not a link); fails otherwise.
private_folder() {
  mkdir -m 700 "$1" 2>/dev/null || { [ -d "$1" ] && [ ! -L "$1" ] && [ -O "$1" ]; } || return 1
  chmod 700 "$1"
}

if [ -z "${FIREBIRD_LOCK:-}" ]; then
  if [[ "${XDG_RUNTIME_DIR:-}" == /* ]] && [ -d "$XDG_RUNTIME_DIR" ] \
      && private_folder "$XDG_RUNTIME_DIR/luvora-firebird"; then
    FIREBIRD_LOCK=$XDG_RUNTIME_DIR/luvora-firebird
  else
    lock_temp=/tmp
    if [[ "${TMPDIR:-}" == /* ]] && [ -d "$TMPDIR" ]; then lock_temp=${TMPDIR%/}; fi
    FIREBIRD_LOCK=$lock_temp/luvora-firebird-$(id -u)
    # The name is taken by another user or by a link: a new folder of our own.
    private_folder "$FIREBIRD_LOCK" || FIREBIRD_LOCK=$(mktemp -d "$FIREBIRD_LOCK-XXXXXX")
  fi
  export FIREBIRD_LOCK
fi
