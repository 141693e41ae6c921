// Built into every fuzz target: an undefined-behaviour report stops the run like a crash, so
// libFuzzer keeps the input (by default the report is printed and the run goes on). Options
// given in UBSAN_OPTIONS still take precedence.
extern "C" const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}
