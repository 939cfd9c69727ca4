// SPDX-License-Identifier: MIT
#pragma once
// The page's side of the browser adapter: the few DOM operations the peers
// need, written in JavaScript (ui/web/dom.js) and imported by the module.
// Every element is known by a handle; names are the window definition's
// control names, texts are UTF-16 with their length.

#include <cstdint>

extern "C" {

// ---- Building: each returns the new element's handle ----

// The window itself: its caption becomes the page's title.
int kw_make_form(const char* name, int width, int height, const char16_t* caption,
                 int captionLength, uint32_t rgb);
int kw_make_page_control(int parent, const char* name, int left, int top, int width, int height);
// A page: its tab in the page control's tab row and its area below.
int kw_make_tab_sheet(int pageControl, const char* name, uint32_t rgb);
int kw_make_label(int parent, const char* name, int left, int top, int width, int height);
// An edit box; only an input box takes keys (a result box lies on a
// disabled panel).
int kw_make_edit(int parent, const char* name, int left, int top, int width, int height,
                 bool input);
int kw_make_panel(int parent, const char* name, int left, int top, int width, int height,
                  uint32_t rgb, bool enabled, bool lowered);
int kw_make_image(int parent, const char* name, int left, int top, int width, int height,
                  bool visible);
int kw_make_check_box(int parent, const char* name, int left, int top, int width, int height);
// The items are one text with a line feed between two items.
int kw_make_combo_box(int parent, const char* name, int left, int top, int width, int height,
                      const char16_t* items, int itemsLength);
int kw_make_group_box(int parent, const char* name, int left, int top, int width, int height,
                      const char16_t* caption, int captionLength);

// ---- One widget access each ----

// A label's or a check box's caption, a tab's caption, a box's whole text.
void kw_set_text(int element, const char16_t* text, int length);
// The box's text as it stands: its length first, then the text itself into
// a buffer of that many code units.
int kw_text_length(int element);
void kw_read_text(int element, char16_t* buffer);
void kw_set_color(int element, uint32_t rgb);
void kw_focus(int element);
void kw_select_all(int element);
void kw_set_checked(int element, bool checked);
bool kw_checked(int element);
// Shows the item of that index; any other index shows an empty text.
void kw_set_item(int element, int index);
// Shows the item of that index with its text behind the first typedLength
// characters selected, the caret before the selection.
void kw_show_completion(int element, int index, int typedLength);
// A label's text's width in CSS pixels in the font it is drawn with, and
// the width of what it lies on.
int kw_text_width(int element);
int kw_parent_width(int element);
// Sets a label's characters closer together by that many pixels in all.
void kw_set_squeeze(int element, int pixels);
void kw_set_page(int pageControl, int index);
void kw_set_visible(int element, bool visible);
void kw_set_parent(int element, int parent);

// ---- What assistive technology is told ----

// What the element is called.
void kw_set_name(int element, const char16_t* text, int length);
// Said beside the box's name and value; an empty text says nothing.
void kw_set_description(int element, const char16_t* text, int length);

// ---- The application ----

// Shows the window, built so far out of sight.
void kw_show_form(int form);
// The modal box: returns once the user has dismissed it. The module waits
// for it asleep (Asyncify), so that the logic that opened it goes on behind
// the call as on the desktop.
void kw_show_box(const char16_t* caption, int captionLength, const char16_t* text, int textLength,
                 bool error);
// The page's address after its "?", for the language switch.
int kw_query_length();
void kw_read_query(char* buffer, int size);
}
