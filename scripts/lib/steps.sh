# Sourced by the scripts: `step WHAT HOW` names what runs next and how to go on
# if it fails; a command that fails then ends the script with one line saying
# both, instead of silently.
set -eEuo pipefail
step() { step_what=$1; step_how=$2; }
step "starting" "run it again"
trap 'echo "${0##*/}: failed while ${step_what}. ${step_how}." >&2' ERR
