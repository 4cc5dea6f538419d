// Layout of the batch-driver object and its records on a 32-bit host.
#include <cstddef>

#include "qev/batch.h"

static_assert(sizeof(void *) == 4, "compiled for 32-bit");
static_assert(offsetof(wu_batch_driver, mode) == 8, "mode is word 2");
static_assert(offsetof(wu_batch_driver, popup_record) == 28, "popup recording is word 7");
static_assert(offsetof(wu_batch_driver, popup_replay) == 32, "popup replay is word 8");
static_assert(offsetof(wu_batch_driver, window_popup_record) == 36, "window popup recording is word 9");
static_assert(offsetof(wu_batch_driver, window_popup_replay) == 40, "window popup replay is word 10");
static_assert(offsetof(wu_batch_driver, choice_record) == 44, "choice popup recording is word 11");
static_assert(offsetof(wu_batch_driver, choice_replay) == 48, "choice popup replay is word 12");
static_assert(offsetof(wu_batch_driver, event_record) == 52, "event recording is word 13");
static_assert(sizeof(wu_batch_driver) == 64, "driver object");

static_assert(sizeof(wu_batch_event) == 32, "event recording");
static_assert(offsetof(wu_batch_event, value1) == 8, "first value");
static_assert(offsetof(wu_batch_event, sent) == 12, "sent word");
static_assert(offsetof(wu_batch_event, value2) == 16, "second value (double)");
static_assert(offsetof(wu_batch_event, value3) == 24, "third value");

static_assert(sizeof(wu_batch_choice) == 32, "popup choice row");
static_assert(offsetof(wu_batch_choice, length) == 4, "text length");
static_assert(offsetof(wu_batch_choice, classifier) == 12, "classifier");
static_assert(offsetof(wu_batch_choice, flags) == 16, "sensitivity flags");
static_assert(offsetof(wu_batch_choice, help) == 20, "help text");
static_assert(offsetof(wu_batch_choice, help_length) == 24, "help length");
static_assert(offsetof(wu_batch_choice, mnemonic) == 28, "mnemonic");
