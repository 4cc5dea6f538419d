// Row layouts of the controls catalogue as a 32-bit host reads them.
#include <stddef.h>

#include "qev/catalog.h"

static_assert(sizeof(void *) == 4, "compiled for 32-bit");

static_assert(sizeof(wu_cat_msgkey) == 16, "message key");
static_assert(offsetof(wu_cat_msgkey, set) == 0, "");
static_assert(offsetof(wu_cat_msgkey, number) == 4, "");
static_assert(offsetof(wu_cat_msgkey, reserved) == 8, "");

static_assert(sizeof(wu_cat_type) == 40, "type row");
static_assert(offsetof(wu_cat_type, type) == 0, "");
static_assert(offsetof(wu_cat_type, name) == 4, "");
static_assert(offsetof(wu_cat_type, one) == 20, "");
static_assert(offsetof(wu_cat_type, reserved) == 24, "");

static_assert(sizeof(wu_cat_attr) == 44, "attribute row");
static_assert(offsetof(wu_cat_attr, desc) == 0, "");
static_assert(offsetof(wu_cat_attr, code) == 16, "");
static_assert(offsetof(wu_cat_attr, vtype) == 20, "");
static_assert(offsetof(wu_cat_attr, access) == 24, "");
static_assert(offsetof(wu_cat_attr, name) == 28, "");
static_assert(offsetof(wu_cat_attr, name_len) == 32, "");
static_assert(offsetof(wu_cat_attr, enums) == 36, "");
static_assert(offsetof(wu_cat_attr, enum_count) == 40, "");

static_assert(sizeof(wu_cat_enum) == 20, "enumeration row");
static_assert(offsetof(wu_cat_enum, name) == 0, "");
static_assert(offsetof(wu_cat_enum, value) == 16, "");

static_assert(sizeof(wu_cat_parm) == 24, "parameter row");
static_assert(offsetof(wu_cat_parm, dir) == 0, "");
static_assert(offsetof(wu_cat_parm, vtype) == 4, "");
static_assert(offsetof(wu_cat_parm, name) == 8, "");
static_assert(offsetof(wu_cat_parm, name_len) == 12, "");
static_assert(offsetof(wu_cat_parm, desc) == 16, "");
static_assert(offsetof(wu_cat_parm, desc_len) == 20, "");

static_assert(sizeof(wu_cat_method) == 60, "method and event row");
static_assert(sizeof(wu_cat_event) == 60, "");
static_assert(offsetof(wu_cat_method, desc) == 0, "");
static_assert(offsetof(wu_cat_method, code) == 16, "");
static_assert(offsetof(wu_cat_method, parms) == 20, "");
static_assert(offsetof(wu_cat_method, parm_count) == 24, "");
static_assert(offsetof(wu_cat_method, result) == 28, "");
static_assert(offsetof(wu_cat_method, name) == 52, "");
static_assert(offsetof(wu_cat_method, name_len) == 56, "");

static_assert(sizeof(wu_cat_map) == 44, "control map");
static_assert(offsetof(wu_cat_map, type) == 0, "");
static_assert(offsetof(wu_cat_map, attrs) == 4, "");
static_assert(offsetof(wu_cat_map, attr_count) == 8, "");
static_assert(offsetof(wu_cat_map, methods) == 12, "");
static_assert(offsetof(wu_cat_map, method_count) == 16, "");
static_assert(offsetof(wu_cat_map, events) == 20, "");
static_assert(offsetof(wu_cat_map, event_count) == 24, "");
static_assert(offsetof(wu_cat_map, width) == 28, "");
static_assert(offsetof(wu_cat_map, height) == 32, "");
static_assert(offsetof(wu_cat_map, reserved) == 36, "");

