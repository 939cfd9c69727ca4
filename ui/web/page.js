// SPDX-License-Identifier: MIT
// The page around the window: the settings file in the origin's storage, the
// bar that downloads and loads it, the window's scale on a narrow screen, the
// profile picture below the window, and the offline cache. Runs in the
// module's scope, before the module's own code.
//
// The settings file is kept in localStorage, as the bytes NV-Data.kqn holds
// on the desktop (one character per byte). It is written when the page is
// hidden or closed, which is all the warning a tablet gives before it drops
// the page; localStorage is written at once, inside that event, where an
// IndexedDB transaction begun there may never finish. And one setItem
// replaces the stored text whole or, when the storage refuses it, not at
// all: the previous file stays as it was.

var KolvanePage = {
  key: 'kolvane/NV-Data.kqn',
  fileName: 'NV-Data.kqn',
  // The desktop reads no more of the file than this.
  mostBytes: 1 << 20,
  // The stored settings file: undefined until read, null for none.
  stored: undefined,
  started: false,
  // A loaded file is in the storage, and the page starts again with it: the
  // closing page must not write its own values over it.
  replacing: false,
  svg: '',
  painted: false,
  language: -1,

  bytesToText: function(bytes) {
    var text = '';
    for (var i = 0; i < bytes.length; i += 4096) {
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + 4096));
    }
    return text;
  },
  textToBytes: function(text) {
    var bytes = new Uint8Array(text.length);
    for (var i = 0; i < text.length; i++) {
      bytes[i] = text.charCodeAt(i);
    }
    return bytes;
  },
  readStorage: function() {
    try {
      return localStorage.getItem(KolvanePage.key);
    } catch (e) {
      return null;  // storage switched off: the window starts with its defaults
    }
  },
  // True when the storage took the text.
  writeStorage: function(text) {
    try {
      localStorage.setItem(KolvanePage.key, text);
      KolvanePage.stored = text;
      return true;
    } catch (e) {
      return false;
    }
  },
  status: function(text) {
    document.getElementById('kv-status').textContent = text;
  },

  // The settings file as the window last wrote it; null when it wrote none.
  written: function() {
    var size = _kw_settings_size();
    if (size < 0) {
      return null;
    }
    var at = _kw_settings_bytes();
    return KolvanePage.bytesToText(HEAPU8.subarray(at, at + size));
  },
  // The settings file the window wrote, into the storage.
  keep: function() {
    var text = KolvanePage.written();
    if (text === null) {
      return;
    }
    if (text !== KolvanePage.stored && !KolvanePage.writeStorage(text)) {
      KolvanePage.status(KolvanePage.words().full);
    }
  },
  // The browser's "window closes": the window writes its settings file,
  // which the storage keeps. While a message box is open the window cannot
  // run its close; it wrote the file before the box opened.
  close: function() {
    if (!KolvanePage.started || KolvanePage.replacing) {
      return;
    }
    KW.report(_kw_user_closed, []);
    KolvanePage.keep();
  },

  start: function() {
    if (KolvanePage.stored === undefined) {
      KolvanePage.stored = KolvanePage.readStorage();
    }
    var stored = KolvanePage.stored;
    if (stored !== null) {
      var room = _kw_settings_room(stored.length);
      HEAPU8.set(KolvanePage.textToBytes(stored), room);
      _kw_put_settings(room, stored.length);
    }
    KW.report(_kw_start, [], function() {
      KolvanePage.started = true;
      KolvanePage.fit();
      performance.mark('kolvane-filled');
      KolvanePage.afterFirstPaint();
    });
    document.addEventListener('visibilitychange', function() {
      if (document.visibilityState === 'hidden') {
        KolvanePage.close();
      }
    });
    window.addEventListener('pagehide', KolvanePage.close);
    document.getElementById('kv-download').addEventListener('click', KolvanePage.download);
    document.getElementById('kv-load').addEventListener('click', function() {
      document.getElementById('kv-file').click();
    });
    document.getElementById('kv-file').addEventListener('change', KolvanePage.load);
  },

  // Exactly the stored file, with the window's values as a close writes them.
  download: function() {
    KolvanePage.close();
    var text = KolvanePage.stored !== null ? KolvanePage.stored : KolvanePage.written();
    if (text === null) {
      return;
    }
    var link = document.createElement('a');
    link.href = URL.createObjectURL(
        new Blob([KolvanePage.textToBytes(text)], {type: 'application/octet-stream'}));
    link.download = KolvanePage.fileName;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function() {
      URL.revokeObjectURL(link.href);
    }, 0);
  },

  // A settings file from a desktop installation becomes the stored file, and
  // the page starts again: the window reads it as the desktop's start does.
  load: function(event) {
    var file = event.target.files[0];
    event.target.value = '';
    if (!file) {
      return;
    }
    file.slice(0, KolvanePage.mostBytes).arrayBuffer().then(function(buffer) {
      if (!KolvanePage.writeStorage(KolvanePage.bytesToText(new Uint8Array(buffer)))) {
        KolvanePage.status(KolvanePage.words().full);
        return;
      }
      KolvanePage.replacing = true;
      location.reload();
    }, function() {
      KolvanePage.status(KolvanePage.words().unread);
    });
  },

  words: function() {
    return KolvanePage.language === 1 ? {
      download: 'Download settings',
      load: 'Load settings',
      full: 'The browser did not store the settings.',
      unread: 'The file could not be read.',
      profile: 'Speed profile of the feed',
      lang: 'en'
    } : {
      download: 'Einstellungen herunterladen',
      load: 'Einstellungen laden',
      full: 'Der Browser hat die Einstellungen nicht gespeichert.',
      unread: 'Die Datei lie\u00DF sich nicht lesen.',
      profile: 'Geschwindigkeitsprofil des Vorschubs',
      lang: 'de'
    };
  },

  // After every report: the profile of the job the window holds now, and
  // the page's words in the language in force.
  refresh: function() {
    var language = _kw_language();
    if (language !== KolvanePage.language) {
      KolvanePage.language = language;
      var words = KolvanePage.words();
      document.documentElement.lang = words.lang;
      document.getElementById('kv-download').textContent = words.download;
      document.getElementById('kv-load').textContent = words.load;
      document.getElementById('kv-profile').setAttribute('aria-label', words.profile);
      KolvanePage.svg = '';
    }
    if (KolvanePage.painted) {
      KolvanePage.drawProfile();
    }
  },
  drawProfile: function() {
    var svg = UTF8ToString(_kw_profile_svg());
    if (svg !== KolvanePage.svg) {
      KolvanePage.svg = svg;
      document.getElementById('kv-profile').innerHTML = svg;
    }
  },
  // The window is painted first; the picture below it and the offline cache
  // come after.
  afterFirstPaint: function() {
    requestAnimationFrame(function() {
      setTimeout(function() {
        KolvanePage.painted = true;
        KolvanePage.drawProfile();
        if ('serviceWorker' in navigator) {
          navigator.serviceWorker.register('sw.js').catch(function() {});
        }
      }, 0);
    });
  },

  // A screen narrower than the window shows it smaller, never rearranged.
  fit: function() {
    var stage = document.getElementById('kv-window');
    var form = stage.firstElementChild;
    var width = form ? parseFloat(form.style.width) : 0;
    var room = document.documentElement.clientWidth - 16;
    stage.style.zoom = width > room ? String(room / width) : '';
  },
};

// For the browser tests: what the page shows no text of. They read the
// record's stored values (the boxes show them rounded), the window's logical
// focus, and whether a report is still on its way.
window['kolvaneProbe'] = {
  'busy': function() {
    return !KolvanePage.started || KW.busy();
  },
  'focus': function() {
    return UTF8ToString(_kw_probe_focus());
  },
  'field': function(name) {
    for (var i = 0;; i++) {
      var field = UTF8ToString(_kw_probe_field_name(i));
      if (!field) {
        return null;
      }
      if (field === name) {
        return _kw_probe_field(i);
      }
    }
  },
  'sinSqRamps': function() {
    return !!_kw_probe_sin_sq_ramps();
  },
};

// The script runs as soon as it has arrived, so that the module compiles
// while the page is still being read; the window is built once the page's
// elements are all there.
Module['onRuntimeInitialized'] = function() {
  if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', KolvanePage.start);
  } else {
    KolvanePage.start();
  }
};
Module['onReported'] = KolvanePage.refresh;
// A module that cannot start leaves the page saying so, not blank.
Module['onAbort'] = function() {
  document.documentElement.classList.remove('kv-starting');
  KolvanePage.status('Kolvane could not start in this browser.');
};
// The storage is opened while the module compiles, which takes no time of
// the page's own.
setTimeout(function() {
  if (KolvanePage.stored === undefined) {
    KolvanePage.stored = KolvanePage.readStorage();
  }
}, 0);
window.addEventListener('resize', KolvanePage.fit);
