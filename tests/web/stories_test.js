// SPDX-License-Identifier: MIT
// The user stories of tests/support, the same table the recorded, Qt and
// Win32 windows run (exported by story_table), on the web page in Chromium:
// each step done with real keys and clicks, each expectation read from what
// the page shows; the stored values of the record and the window's logical
// focus through the page's test probe.
//
//   node stories_test.js --site build/web/site --stories stories.json

'use strict';

const fs = require('fs');
const {TConsoleWatch, TWebUser, expectEqual, main, ulps} = require('./browser.js');

// The settings file's bytes with its line ends and high bytes readable.
function readable(bytes) {
  return (bytes || '').replace(/[\r\n\x80-\xff]/g, (c) => {
    return c === '\r' ? '\\r' : c === '\n' ? '\\n' :
                        '\\x' + c.charCodeAt(0).toString(16).toUpperCase();
  });
}

async function runStep(step, user) {
  switch (step.kind) {
    case 'Click':
      return user.click(step.control);
    case 'DoubleClick':
      return user.doubleClick(step.control);
    case 'Type':
      return user.type(step.text);
    case 'PutText':
      return user.putText(step.control, step.text);
    case 'Enter':
      return user.key('Enter');
    case 'Tab':
      return user.key('Tab');
    case 'ShiftTab':
      return user.key('Shift+Tab');
    case 'Space':
      return user.key(' ');
    case 'Backspace':
      return user.key('Backspace');
    case 'CtrlTab':
      return user.key('Control+Tab');
    case 'CtrlShiftTab':
      return user.key('Control+Shift+Tab');
    case 'ClickTab':
      return user.clickTab(step.control);
    case 'PickLanguage':
      return user.pickLanguage(step.item);
    case 'Close':
      return expectEqual(await user.close(), true, 'the window closed');
    case 'ShowsText':
      return expectEqual(await user.text(step.control), step.text, step.control);
    case 'ShowsSelected':
      if (!(await user.wholeTextSelected(step.control))) {
        throw new Error(`"${await user.text(step.control)}" is not selected as a whole`);
      }
      return;
    case 'ShowsColour':
      return expectEqual(await user.colour(step.control), step.colour, 'the colour');
    case 'ShowsChecked':
      return expectEqual(await user.checked(step.control), step.item === 1, 'checked');
    case 'HasFocus':
      expectEqual(await user.keyboardFocus(), step.control, 'the keyboard focus');
      return expectEqual(await user.logicalFocus(), step.control, "the window's logical focus");
    case 'ShowsPage':
      return expectEqual(await user.shownPage(), step.control, 'the page shown');
    case 'ShowsMessages':
      return checkMessages(step.messages, user.messages);
    case 'Stores': {
      const stored = await user.field(step.field);
      if (stored === null || ulps(stored, step.value) > 4n) {
        throw new Error(`the record holds ${stored} in ${step.field}, not ${step.value}`);
      }
      return;
    }
    case 'StoresSinSqRamps':
      return expectEqual(await user.sinSqRamps(), step.item === 1, 'sin^2 ramps stored');
    case 'SavesLine': {
      const file = await user.stored();
      if (!file || !file.includes(step.line)) {
        throw new Error('the stored settings file holds: ' + readable(file));
      }
      return;
    }
    case 'SavesNothingYet':
      return expectEqual(readable(await user.stored()), '', 'the stored settings file');
    default:
      throw new Error('a step the browser tests do not know: ' + step.kind);
  }
}

function checkMessages(expected, shown) {
  expectEqual(shown.map((m) => m.text), expected.map((m) => m.text), 'message boxes shown');
  expected.forEach((message, i) => {
    const which = `message box ${i + 1}`;
    expectEqual(shown[i].caption, message.caption, which + ': caption');
    expectEqual(shown[i].role, 'alertdialog', which + ': its role');
    expectEqual(shown[i].keyboard, 'kv-box-ok', which + ': the keyboard focus while it was open');
    if (message.focus) {
      expectEqual(shown[i].focus, message.focus, which + ': the logical focus while it was open');
    }
    if (message.page) {
      expectEqual(shown[i].page, message.page, which + ': the page shown while it was open');
    }
  });
}

main(async (runner, {browser, server, opts}) => {
  const stories = JSON.parse(fs.readFileSync(opts.stories, 'latin1'));
  for (const story of stories) {
    runner.add(story.name, async () => {
      const context = await browser.newContext({viewport: {width: 800, height: 600}});
      const watch = new TConsoleWatch();
      const user = new TWebUser(context, server.url, watch);
      try {
        if (story.settings) {
          await user.store(story.settings);
        }
        await user.open();
        for (let i = 0; i < story.steps.length; i++) {
          const step = story.steps[i];
          try {
            await runStep(step, user);
          } catch (error) {
            throw new Error(`step ${i + 1}: ${step.describe}: ${error.message}`);
          }
        }
        watch.check();
      } finally {
        await context.close();
      }
    });
  }
});
