// SPDX-License-Identifier: MIT
// The page's side of the browser adapter (declared in ui/web/Dom.h): builds
// one element per control of the window definition and reports what the
// user does to the module's entry points (ui/web/Program.cpp). It holds no
// rule of the window: which control comes next on Tab, when a check box may
// toggle, which item a text names, are all answered by the module.
//
// While the module runs, focus events are the program's own and are not
// reported. While a message box is open the module sleeps inside the call
// that opened it (Asyncify); the dialog makes the rest of the page inert,
// and nothing is reported until the call has come to its end.

var LibraryKolvane = {
  $KW__deps: ['$Asyncify'],
  $KW: {
    elements: [null],
    depth: 0,
    asleep: false,
    // The check box that saw Space go down; its release toggles it.
    spaceOn: 0,

    add: function(element) {
      KW.elements.push(element);
      return KW.elements.length - 1;
    },
    el: function(handle) {
      return KW.elements[handle];
    },
    text: function(pointer, length) {
      var units = HEAPU16.subarray(pointer >> 1, (pointer >> 1) + length);
      var text = '';
      for (var i = 0; i < units.length; i += 4096) {
        text += String.fromCharCode.apply(null, units.subarray(i, i + 4096));
      }
      return text;
    },
    color: function(rgb) {
      rgb = rgb >>> 0;
      return rgb === 0xFFFFFFFF ? '' : '#' + (rgb | 0x1000000).toString(16).slice(1);
    },
    make: function(tag, className, parent, name) {
      var element = document.createElement(tag);
      element.className = className;
      if (name) {
        element.id = name;
        element.setAttribute('data-control', name);
      }
      if (parent) {
        KW.container(parent).appendChild(element);
      }
      return element;
    },
    container: function(handle) {
      var element = KW.el(handle);
      return element.kvContainer || element;
    },
    place: function(element, left, top, width, height) {
      element.kvRect = {left: left, top: top, width: width, height: height};
      element.style.left = left + 'px';
      element.style.top = top + 'px';
      if (width >= 0) {
        element.style.width = width + 'px';
        element.style.height = height + 'px';
      }
    },

    // ---- Reports to the module ----

    busy: function() {
      return KW.depth > 0 || KW.asleep;
    },
    // Runs the entry point with the arguments; then() gets its result, at
    // once or, when a message box made the module sleep, once the call has
    // ended. Returns false when the report had to wait for a box.
    report: function(entry, args, then) {
      if (KW.busy()) {
        return true;
      }
      var result;
      KW.depth++;
      try {
        result = entry.apply(null, args);
      } finally {
        KW.depth--;
      }
      if (Asyncify.currData) {
        KW.asleep = true;
        Asyncify.whenDone().then(function(value) {
          KW.asleep = false;
          KW.reported(then, value);
        });
        return false;
      }
      KW.reported(then, result);
      return true;
    },
    reported: function(then, value) {
      if (then) {
        then(value);
      }
      if (Module['onReported']) {
        Module['onReported']();
      }
    },
    // A call that cannot sleep: a question to the module.
    ask: function(entry, args) {
      KW.depth++;
      try {
        return entry.apply(null, args);
      } finally {
        KW.depth--;
      }
    },
    focused: function(handle) {
      if (!KW.busy()) {
        KW.report(_kw_user_focused, [handle]);
      }
    },
    shift: function(event) {
      return (event.shiftKey ? 1 : 0) | (event.altKey ? 2 : 0) | (event.ctrlKey ? 4 : 0);
    },
    // The character a key types, 13 for Enter; 0 for none.
    character: function(event) {
      if (event.key === 'Enter') {
        return 13;
      }
      var plain = !(event.ctrlKey || event.altKey || event.metaKey) ||
                  event.getModifierState('AltGraph');
      return plain && event.key.length === 1 ? event.key.charCodeAt(0) : 0;
    },
    // The key-down, then the character, which the module may swallow or
    // replace. A key whose key-down opened a message box cannot keep the
    // browser waiting: its character follows once the box is gone.
    keyDown: function(event, handle, box) {
      if (event.isComposing || event.keyCode === 229 || KW.busy()) {
        return false;
      }
      var character = box ? KW.character(event) : 0;
      var now = true;
      var kept = true;
      KW.report(_kw_user_key_down, [handle, event.keyCode, KW.shift(event)], function(key) {
        if (key === 0) {
          kept = false;
          if (now) {
            event.preventDefault();
          }
          return;
        }
        if (!character) {
          return;
        }
        KW.report(_kw_user_key_press, [handle, character], function(typed) {
          if (typed === character && now) {
            return;  // the browser types it
          }
          if (now) {
            event.preventDefault();
          }
          if (typed !== 0) {
            box.setRangeText(String.fromCharCode(typed), box.selectionStart, box.selectionEnd,
                             'end');
          }
        });
      });
      if (KW.asleep) {
        event.preventDefault();
      }
      now = false;
      return kept && !KW.asleep;
    },
    select: function(box) {
      box.setSelectionRange(0, box.value.length);
    },

    // ---- The window ----

    // The element's own handler of an event, which the form's listener
    // calls: one listener per kind of event for the whole window.
    on: function(element, type, handler) {
      element['kv_' + type] = handler;
    },
    // Focus and blur belong to their target alone; the other events go to
    // the nearest element on the way up that handles them.
    dispatch: function(form, type, event) {
      var target = event.target;
      if (type === 'focus' || type === 'blur') {
        if (target['kv_' + type]) {
          target['kv_' + type](event);
        }
        return;
      }
      for (; target && target !== form; target = target.parentNode) {
        if (target['kv_' + type]) {
          target['kv_' + type](event);
          return;
        }
      }
    },

    // Tab stays in the window and goes where the form's tab order says;
    // Ctrl+Tab steps the pages. A click on what takes no focus (a label, a
    // panel, a result box) leaves the focus where it is, as on the desktop.
    listenForm: function(form) {
      form.addEventListener('keydown', function(event) {
        if (event.keyCode !== 9 || event.altKey || event.metaKey) {
          return;
        }
        event.preventDefault();
        event.stopPropagation();
        if (event.ctrlKey) {
          KW.report(_kw_user_step_page, [event.shiftKey]);
        } else {
          KW.report(_kw_user_tab, [event.shiftKey]);
        }
      }, true);
      var events = {focusin: 'focus', focusout: 'blur', keydown: 'keydown', keyup: 'keyup',
                    click: 'click', mousedown: 'mousedown', input: 'input'};
      Object.keys(events).forEach(function(name) {
        form.addEventListener(name, function(event) {
          KW.dispatch(form, events[name], event);
        });
      });
      form.addEventListener('mousedown', function(event) {
        var target = event.target.closest('input, [tabindex]');
        if (!target || target.disabled || target.tabIndex < 0 ||
            target.getAttribute('role') === 'tablist') {
          event.preventDefault();
        }
      });
    },

    // ---- The combo box's list ----

    openList: function(combo, open) {
      combo.kvList.hidden = !open;
      combo.setAttribute('aria-expanded', open ? 'true' : 'false');
      if (open) {
        KW.mark(combo, combo.kvItems.indexOf(combo.value));
      } else {
        combo.removeAttribute('aria-activedescendant');
      }
    },
    mark: function(combo, index) {
      var options = combo.kvList.children;
      for (var i = 0; i < options.length; i++) {
        options[i].setAttribute('aria-selected', i === index ? 'true' : 'false');
      }
      combo.kvMarked = index;
      if (index >= 0) {
        combo.setAttribute('aria-activedescendant', options[index].id);
      }
    },
    // The user picked an item: the box shows it, then reports the change.
    pick: function(combo, handle, index) {
      KW.openList(combo, false);
      if (index < 0 || index >= combo.kvItems.length) {
        return;
      }
      combo.value = combo.kvItems[index];
      KW.select(combo);
      KW.report(_kw_user_changed, [handle]);
    },
    comboKey: function(event, combo, handle) {
      var open = !combo.kvList.hidden;
      var at = open ? combo.kvMarked : combo.kvItems.indexOf(combo.value);
      var last = combo.kvItems.length - 1;
      if (event.key === 'ArrowDown' && event.altKey || event.key === 'F4') {
        KW.openList(combo, !open);
      } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
        var next = event.key === 'ArrowDown' ? Math.min(at + 1, last) : Math.max(at - 1, 0);
        if (open) {
          KW.mark(combo, next);
        } else if (next !== at) {
          KW.pick(combo, handle, next);
        }
      } else if (open && event.key === 'Enter') {
        KW.pick(combo, handle, combo.kvMarked);
      } else if (open && event.key === 'Escape') {
        KW.openList(combo, false);
      } else {
        return;
      }
      event.preventDefault();
    },

    // ---- The modal box ----

    openBox: function(caption, text, error, done) {
      var box = document.getElementById('kv-box');
      document.getElementById('kv-box-caption').textContent = caption;
      document.getElementById('kv-box-text').textContent = text;
      box.classList.toggle('kv-error', !!error);
      if (!box.kvListening) {
        box.kvListening = true;
        var close = function(event) {
          event.preventDefault();
          box.close();
        };
        document.getElementById('kv-box-ok').addEventListener('click', close);
        // Enter, Space and Escape dismiss it, as they do a Windows box.
        box.addEventListener('keydown', function(event) {
          if (event.key === 'Enter' || event.key === ' ' || event.key === 'Escape') {
            close(event);
          }
        });
        box.addEventListener('cancel', close);
        box.addEventListener('close', function() {
          var finish = box.kvDone;
          box.kvDone = null;
          if (finish) {
            finish(1);
          }
        });
      }
      box.kvDone = done;
      box.showModal();
      document.getElementById('kv-box-ok').focus();
    },
  },

  kw_make_form: function(name, width, height, caption, captionLength, rgb) {
    var form = KW.make('div', 'kv-form', 0, UTF8ToString(name));
    form.style.width = width + 'px';
    form.style.height = height + 'px';
    form.style.backgroundColor = KW.color(rgb);
    form.hidden = true;
    document.title = KW.text(caption, captionLength);
    document.getElementById('kv-window').appendChild(form);
    KW.listenForm(form);
    return KW.add(form);
  },

  kw_make_page_control: function(parent, name, left, top, width, height) {
    var frame = KW.make('div', 'kv kv-pages', parent, '');
    KW.place(frame, left, top, width, height);
    frame.appendChild(KW.make('div', 'kv-area', 0, ''));
    var tabs = KW.make('div', 'kv-tabs', 0, UTF8ToString(name));
    frame.appendChild(tabs);
    tabs.setAttribute('role', 'tablist');
    tabs.tabIndex = 0;
    tabs.kvContainer = frame;
    tabs.kvSheets = [];
    tabs.kvSize = [width, height];
    var handle = KW.add(tabs);
    KW.on(tabs, 'focus', function() {
      KW.focused(handle);
    });
    // The arrow keys step the pages, without wrapping, as on the desktop.
    KW.on(tabs, 'keydown', function(event) {
      if (!KW.keyDown(event, handle, null) || event.ctrlKey || event.altKey) {
        return;
      }
      var step = {ArrowLeft: -1, ArrowUp: -1, ArrowRight: 1, ArrowDown: 1}[event.key];
      if (step) {
        event.preventDefault();
        var active = tabs.kvSheets.findIndex(function(sheet) {
          return !sheet.hidden;
        });
        var next = active + step;
        if (next >= 0 && next < tabs.kvSheets.length) {
          KW.report(_kw_user_chose_page, [handle, next]);
        }
      }
    });
    return handle;
  },

  kw_make_tab_sheet: function(pageControl, name, rgb) {
    var tabs = KW.el(pageControl);
    var index = tabs.kvSheets.length;
    name = UTF8ToString(name);
    var tab = KW.make('div', 'kv-tab', 0, '');
    tab.id = name + '-tab';
    tab.setAttribute('role', 'tab');
    tab.setAttribute('aria-selected', 'false');
    tab.setAttribute('aria-controls', name);
    tabs.appendChild(tab);
    var sheet = KW.make('div', 'kv kv-sheet', 0, name);
    sheet.setAttribute('role', 'tabpanel');
    sheet.setAttribute('aria-labelledby', tab.id);
    // The page area inside the tab control's frame, below the tabs.
    KW.place(sheet, 4, 24, tabs.kvSize[0] - 8, tabs.kvSize[1] - 28);
    sheet.style.backgroundColor = KW.color(rgb);
    sheet.hidden = true;
    sheet.kvTab = tab;
    tabs.kvContainer.appendChild(sheet);
    tabs.kvSheets.push(sheet);
    // A click changes no page by itself: the page control's peer shows the
    // page the logic chooses.
    KW.on(tab, 'mousedown', function(event) {
      event.preventDefault();
      if (event.button === 0) {
        KW.report(_kw_user_chose_page, [pageControl, index]);
      }
    });
    return KW.add(sheet);
  },

  kw_make_label: function(parent, name, left, top, width, height) {
    var label = KW.make('span', 'kv kv-label', parent, UTF8ToString(name));
    // Labels size themselves to their text.
    KW.place(label, left, top, -1, -1);
    label.kvRect.height = height;
    return KW.add(label);
  },

  kw_make_edit: function(parent, name, left, top, width, height, input) {
    var box = KW.make('input', 'kv kv-edit', parent, UTF8ToString(name));
    box.type = 'text';
    box.autocomplete = 'off';
    box.spellcheck = false;
    box.setAttribute('autocapitalize', 'off');
    KW.place(box, left, top, width, height);
    var handle = KW.add(box);
    if (input) {
      KW.on(box, 'focus', function() {
        KW.focused(handle);
      });
      KW.on(box, 'keydown', function(event) {
        KW.keyDown(event, handle, box);
      });
    } else {
      box.tabIndex = -1;
    }
    return handle;
  },

  kw_make_panel: function(parent, name, left, top, width, height, rgb, enabled, lowered) {
    // A disabled panel takes no input, nor does anything on it; a fieldset
    // does exactly that to the boxes inside.
    var panel = KW.make('fieldset', 'kv kv-panel' + (lowered ? ' kv-lowered' : ''), parent,
                        UTF8ToString(name));
    panel.disabled = !enabled;
    KW.place(panel, left, top, width, height);
    panel.style.backgroundColor = KW.color(rgb);
    return KW.add(panel);
  },

  kw_make_image: function(parent, name, left, top, width, height, visible) {
    name = UTF8ToString(name);
    var image = KW.make('img', 'kv kv-image', parent, name);
    // Loaded once shown: one of the two logos never is.
    image.loading = 'lazy';
    image.src = name + '.png';
    image.alt = 'Kolvane';
    image.draggable = false;
    KW.place(image, left, top, width, height);
    image.hidden = !visible;
    return KW.add(image);
  },

  kw_make_check_box: function(parent, name, left, top, width, height) {
    var box = KW.make('div', 'kv kv-check', parent, UTF8ToString(name));
    box.setAttribute('role', 'checkbox');
    box.setAttribute('aria-checked', 'false');
    box.tabIndex = 0;
    KW.place(box, left, top, width, height);
    box.appendChild(KW.make('span', 'kv-mark', 0, ''));
    box.kvCaption = KW.make('span', 'kv-caption', 0, '');
    box.appendChild(box.kvCaption);
    var handle = KW.add(box);
    var toggle = function() {
      if (!KW.busy() && KW.ask(_kw_may_toggle, [handle])) {
        box.setAttribute('aria-checked', box.getAttribute('aria-checked') === 'true' ? 'false'
                                                                                    : 'true');
        KW.report(_kw_user_toggled, [handle]);
      }
    };
    KW.on(box, 'focus', function() {
      KW.focused(handle);
    });
    // The key-down runs while the box shows its old state; the release of
    // Space toggles it, if the box still has the focus then.
    KW.on(box, 'keydown', function(event) {
      if (event.key === ' ') {
        event.preventDefault();
      }
      if (KW.keyDown(event, handle, null) && event.key === ' ' && !event.repeat) {
        KW.spaceOn = handle;
      }
    });
    KW.on(box, 'keyup', function(event) {
      if (event.key === ' ' && KW.spaceOn === handle) {
        KW.spaceOn = 0;
        toggle();
      }
    });
    KW.on(box, 'click', function(event) {
      if (event.button === 0) {
        toggle();
      }
    });
    return handle;
  },

  kw_make_combo_box: function(parent, name, left, top, width, height, items, itemsLength) {
    name = UTF8ToString(name);
    var frame = KW.make('div', 'kv kv-combo', parent, '');
    KW.place(frame, left, top, width, height);
    var combo = KW.make('input', 'kv-combo-text', 0, name);
    combo.type = 'text';
    combo.autocomplete = 'off';
    combo.spellcheck = false;
    combo.setAttribute('role', 'combobox');
    combo.setAttribute('aria-autocomplete', 'none');
    combo.setAttribute('aria-expanded', 'false');
    combo.setAttribute('aria-controls', name + '-list');
    frame.appendChild(combo);
    var drop = KW.make('span', 'kv-drop', 0, '');
    drop.setAttribute('aria-hidden', 'true');
    frame.appendChild(drop);
    var list = KW.make('div', 'kv-list', 0, '');
    list.id = name + '-list';
    list.setAttribute('role', 'listbox');
    list.hidden = true;
    frame.appendChild(list);
    combo.kvItems = itemsLength ? KW.text(items, itemsLength).split('\n') : [];
    combo.kvList = list;
    combo.kvMarked = -1;
    var handle = KW.add(combo);
    combo.kvItems.forEach(function(item, index) {
      var option = KW.make('div', 'kv-option', 0, '');
      option.id = name + '-item' + index;
      option.setAttribute('role', 'option');
      option.textContent = item;
      KW.on(option, 'mousedown', function(event) {
        event.preventDefault();
      });
      KW.on(option, 'click', function() {
        KW.pick(combo, handle, index);
      });
      list.appendChild(option);
    });
    KW.on(combo, 'focus', function() {
      KW.focused(handle);
    });
    KW.on(combo, 'blur', function() {
      KW.openList(combo, false);
    });
    KW.on(combo, 'keydown', function(event) {
      if (KW.keyDown(event, handle, null)) {
        KW.comboKey(event, combo, handle);
      }
    });
    // Typed characters may complete to an item; a deletion, a cut or a
    // paste is a change of the text as it stands.
    KW.on(combo, 'input', function(event) {
      var typed = /^insert(Text|CompositionText|ReplacementText)$/.test(event.inputType || '');
      KW.report(typed ? _kw_user_typed : _kw_user_changed, [handle]);
    });
    // The button focuses the box, as a click into it would, and opens or
    // closes the list.
    KW.on(drop, 'mousedown', function(event) {
      event.preventDefault();
      if (event.button !== 0 || KW.busy()) {
        return;
      }
      if (document.activeElement !== combo) {
        combo.focus();
      }
      if (!KW.busy() && document.activeElement === combo) {
        KW.openList(combo, list.hidden);
      }
    });
    return handle;
  },

  kw_make_group_box: function(parent, name, left, top, width, height, caption, captionLength) {
    name = UTF8ToString(name);
    var group = KW.make('div', 'kv kv-group', parent, name);
    group.setAttribute('role', 'group');
    KW.place(group, left, top, width, height);
    var legend = KW.make('span', 'kv-legend', 0, '');
    group.appendChild(legend);
    legend.id = name + '-caption';
    legend.textContent = KW.text(caption, captionLength);
    // The caption covers the frame's line with its parent's face.
    legend.style.backgroundColor = KW.container(parent).style.backgroundColor;
    group.setAttribute('aria-labelledby', legend.id);
    group.kvLegend = legend;
    return KW.add(group);
  },

  kw_set_text: function(handle, text, length) {
    var element = KW.el(handle);
    text = KW.text(text, length);
    if (element.kvTab) {
      element.kvTab.textContent = text;
    } else if (element.kvCaption) {
      element.kvCaption.textContent = text;
    } else if (element.tagName === 'INPUT') {
      element.value = text;
    } else {
      element.textContent = text;
    }
  },

  kw_text_length: function(handle) {
    KW.read = KW.el(handle).value;
    return KW.read.length;
  },

  kw_read_text: function(handle, buffer) {
    for (var i = 0; i < KW.read.length; i++) {
      HEAPU16[(buffer >> 1) + i] = KW.read.charCodeAt(i);
    }
  },

  kw_set_color: function(handle, rgb) {
    KW.el(handle).style.backgroundColor = KW.color(rgb);
  },

  kw_focus: function(handle) {
    KW.el(handle).focus();
  },

  kw_select_all: function(handle) {
    KW.select(KW.el(handle));
  },

  kw_set_checked: function(handle, checked) {
    KW.el(handle).setAttribute('aria-checked', checked ? 'true' : 'false');
  },

  kw_checked: function(handle) {
    return KW.el(handle).getAttribute('aria-checked') === 'true';
  },

  kw_set_item: function(handle, index) {
    var combo = KW.el(handle);
    combo.value = index >= 0 && index < combo.kvItems.length ? combo.kvItems[index] : '';
  },

  kw_show_completion: function(handle, index, typedLength) {
    var combo = KW.el(handle);
    combo.value = combo.kvItems[index];
    combo.setSelectionRange(typedLength, combo.value.length, 'backward');
  },

  // Every label has the window's font: one look at the style is enough.
  kw_text_width: function(handle) {
    var label = KW.el(handle);
    if (!KW.ruler) {
      KW.ruler = document.createElement('canvas').getContext('2d');
      KW.ruler.font = getComputedStyle(label).font;
    }
    return Math.ceil(KW.ruler.measureText(label.textContent).width);
  },

  kw_parent_width: function(handle) {
    var parent = KW.el(handle).parentNode;
    return Math.floor(parseFloat(parent.style.width || parent.kvRect.width));
  },

  // Spread evenly between the characters.
  kw_set_squeeze: function(handle, pixels) {
    var label = KW.el(handle);
    var count = label.textContent.length;
    label.style.letterSpacing = pixels > 0 && count > 0 ? -pixels / count + 'px' : '';
  },

  kw_set_page: function(handle, index) {
    var tabs = KW.el(handle);
    tabs.kvSheets.forEach(function(sheet, at) {
      sheet.hidden = at !== index;
      sheet.kvTab.setAttribute('aria-selected', at === index ? 'true' : 'false');
      if (at === index) {
        tabs.setAttribute('aria-activedescendant', sheet.kvTab.id);
      }
    });
  },

  kw_set_visible: function(handle, visible) {
    KW.el(handle).hidden = !visible;
  },

  kw_set_parent: function(handle, parent) {
    var element = KW.el(handle);
    var container = KW.container(parent);
    if (element.parentNode !== container) {
      container.appendChild(element);
    }
  },

  kw_set_name: function(handle, text, length) {
    KW.el(handle).setAttribute('aria-label', KW.text(text, length));
  },

  kw_set_description: function(handle, text, length) {
    var element = KW.el(handle);
    if (length) {
      element.setAttribute('aria-description', KW.text(text, length));
    } else {
      element.removeAttribute('aria-description');
    }
  },

  // The page shows nothing while the window is built (style.css); it shows
  // with the window, whose first show fills it before anything is painted.
  kw_show_form: function(handle) {
    KW.el(handle).hidden = false;
    document.documentElement.classList.remove('kv-starting');
  },

  kw_show_box: function(caption, captionLength, text, textLength, error) {
    return Asyncify.handleSleep(function(wakeUp) {
      KW.openBox(KW.text(caption, captionLength), KW.text(text, textLength), error, wakeUp);
    });
  },

  kw_query_length: function() {
    return lengthBytesUTF8(location.search.slice(1));
  },

  kw_read_query: function(buffer, size) {
    stringToUTF8(location.search.slice(1), buffer, size);
  },
};

for (var name in LibraryKolvane) {
  if (name.charAt(0) !== '$' && name.indexOf('__') < 0) {
    LibraryKolvane[name + '__deps'] = ['$KW'];
  }
}
mergeInto(LibraryManager.library, LibraryKolvane);
