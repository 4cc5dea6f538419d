// Layout of the records shared with the host as a 32-bit x86 host sees them.
#include <stddef.h>

#include "qev/records.h"

static_assert(sizeof(void *) == 4, "compiled for 32-bit");

#define AT(type, field, off) static_assert(offsetof(type, field) == (off), #type "." #field)
#define SIZE(type, n) static_assert(sizeof(type) == (n), "size of " #type)

SIZE(wu_word, 4);

SIZE(wu_value, 24);
AT(wu_value, code, 0);
AT(wu_value, reserved, 2);
AT(wu_value, type, 4);
AT(wu_value, status, 8);
AT(wu_value, value, 12);
AT(wu_value, second, 16);
AT(wu_value, pointer, 20);

SIZE(wu_str_item, 12);
AT(wu_str_item, length, 0);
AT(wu_str_item, reserved, 4);
AT(wu_str_item, text, 8);

SIZE(wu_colour_cell, 12);
AT(wu_colour_cell, pixel, 0);
AT(wu_colour_cell, red, 4);
AT(wu_colour_cell, green, 6);
AT(wu_colour_cell, blue, 8);
AT(wu_colour_cell, private_cell, 10);

SIZE(wu_ctl_handle, 16);
AT(wu_ctl_handle, control, 0);
AT(wu_ctl_handle, type, 4);
AT(wu_ctl_handle, services, 8);
AT(wu_ctl_handle, reserved, 12);

SIZE(wu_ctl_services, 18 * 4);
AT(wu_ctl_services, swat, 0);
AT(wu_ctl_services, rbat, 16 * 4);
AT(wu_ctl_services, reserved, 17 * 4);

SIZE(wu_ctl_event, 52);
AT(wu_ctl_event, code, 0);
AT(wu_ctl_event, pane, 4);
AT(wu_ctl_event, zero1, 8);
AT(wu_ctl_event, x, 12);
AT(wu_ctl_event, y, 16);
AT(wu_ctl_event, user_data, 20);
AT(wu_ctl_event, procedure, 24);
AT(wu_ctl_event, handle, 28);
AT(wu_ctl_event, params, 32);
AT(wu_ctl_event, param_count, 36);
AT(wu_ctl_event, zero2, 40);
AT(wu_ctl_event, zero3, 44);
AT(wu_ctl_event, answer, 48);

SIZE(wu_key_signal, 24);
AT(wu_key_signal, code, 0);
AT(wu_key_signal, size, 4);
AT(wu_key_signal, one, 8);
AT(wu_key_signal, answer, 12);
AT(wu_key_signal, handle, 16);
AT(wu_key_signal, record, 20);

SIZE(wu_batch_event, 32);
AT(wu_batch_event, code, 0);
AT(wu_batch_event, value1, 8);
AT(wu_batch_event, sent, 12);
AT(wu_batch_event, value2, 16);
AT(wu_batch_event, value3, 24);
AT(wu_batch_event, zero2, 28);

SIZE(wu_batch_choice, 32);
AT(wu_batch_choice, text, 0);
AT(wu_batch_choice, length, 4);
AT(wu_batch_choice, classifier, 12);
AT(wu_batch_choice, flags, 16);
AT(wu_batch_choice, help, 20);
AT(wu_batch_choice, help_length, 24);
AT(wu_batch_choice, mnemonic, 28);

SIZE(wu_choice_entry, 32);
AT(wu_choice_entry, label, 0);
AT(wu_choice_entry, label_length, 4);
AT(wu_choice_entry, grayed, 8);
AT(wu_choice_entry, command_id, 12);
AT(wu_choice_entry, flags, 16);
AT(wu_choice_entry, help, 20);
AT(wu_choice_entry, help_length, 24);
AT(wu_choice_entry, mnemonic, 28);

SIZE(wu_node_record, 72);
AT(wu_node_record, prev, 0);
AT(wu_node_record, next, 4);
AT(wu_node_record, child, 8);
AT(wu_node_record, parent, 12);
AT(wu_node_record, label, 16);
AT(wu_node_record, label_length, 20);
AT(wu_node_record, focus_icon, 24);
AT(wu_node_record, icon, 32);
AT(wu_node_record, expanded, 40);
AT(wu_node_record, user, 44);
AT(wu_node_record, key, 48);
AT(wu_node_record, handle, 52);
AT(wu_node_record, drop_site, 56);
AT(wu_node_record, expandable, 60);
AT(wu_node_record, id, 64);
AT(wu_node_record, unused68, 68);

SIZE(wu_lvw_rows, 12);
AT(wu_lvw_rows, texts, 0);
AT(wu_lvw_rows, icons, 4);
AT(wu_lvw_rows, ids, 8);

SIZE(wu_toolbox_header, WU_TB_HEADER_SIZE);
AT(wu_toolbox_header, title, 8);
AT(wu_toolbox_header, per_row, 208);
AT(wu_toolbox_header, tool_count, 209);
AT(wu_toolbox_header, large_icons, 210);
AT(wu_toolbox_header, icon_width, 211);
AT(wu_toolbox_header, icon_height, 212);
AT(wu_toolbox_header, x, 213);
AT(wu_toolbox_header, y, 221);
AT(wu_toolbox_header, save_position, 229);
AT(wu_toolbox_header, load_default, 230);
AT(wu_toolbox_header, reserved231, 231);
AT(wu_toolbox_header, command_part, 268);
AT(wu_toolbox_header, tools_part, 269);
AT(wu_toolbox_header, reserved270, 270);

SIZE(wu_tool_record, WU_TB_TOOL_SIZE);
AT(wu_tool_record, icon, 0);
AT(wu_tool_record, command, 8);
AT(wu_tool_record, tip, 208);
AT(wu_tool_record, help, 408);
AT(wu_tool_record, ext_type, 608);
AT(wu_tool_record, ext_size, 609);
AT(wu_tool_record, reserved617, 617);
AT(wu_tool_record, command_id, 641);
AT(wu_tool_record, second, 649);
AT(wu_tool_record, reserved657, 657);

SIZE(wu_window, 1064);
AT(wu_window, toolbox_flags, 512);
AT(wu_window, menu_kind, 516);
AT(wu_window, name, 520);
AT(wu_window, name_length, 524);
AT(wu_window, reserved, 528);
SIZE(wu_pane_ext, 80);
AT(wu_pane_ext, widget, 4);
AT(wu_pane_ext, flags, 8);
AT(wu_pane_ext, controls, 12);
AT(wu_pane_ext, release, 20);
SIZE(wu_session, 104);
SIZE(wu_display, 36);

SIZE(wu_command_params, 16);
static_assert(sizeof(((wu_event *)0)->params) == WU_EVQ_PARAM_MAX, "event parameters");

// Parameters of the module events of older pane controls.
SIZE(wu_old_pressed, 12);
AT(wu_old_pressed, code, 4);
SIZE(wu_old_press, 36);
AT(wu_old_press, row, 4);
AT(wu_old_press, x, 12);
AT(wu_old_press, pointer_x, 20);
AT(wu_old_press, button, 28);
AT(wu_old_press, state, 32);
SIZE(wu_field_press, 24);
AT(wu_field_press, code, 8);
AT(wu_field_press, row, 12);
AT(wu_field_press, kind, 20);
