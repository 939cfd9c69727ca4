// SPDX-License-Identifier: MIT
// Pictures of the web page for a look by eye, beside those of the Qt window
// (scripts/screenshots.sh): every page in both languages at normal and at
// double density, the whole page on a phone's 360 CSS pixels, a broken
// drive limit and a range message. On the phone's width the window must be
// shown whole, scaled down, with nothing to scroll sideways.
//
//   node screenshots.js --site build/web/site --out build/web/screenshots

'use strict';

const fs = require('fs');
const path = require('path');
const {TConsoleWatch, TWebUser, expectEqual, main} = require('./browser.js');

const PAGES = ['TS_HzP', 'TS_VZ', 'TS_Options'];

main(async (runner, {browser, server, opts}) => {
  fs.mkdirSync(opts.out, {recursive: true});
  const picture = (name) => path.join(opts.out, name + '.png');

  // One user per language and width: opens the page, shows each page, and
  // lets shoot() take the picture.
  const eachPage = (language, contextOptions, shoot) => async () => {
    const context = await browser.newContext(contextOptions);
    const watch = new TConsoleWatch();
    try {
      const user = new TWebUser(context, server.url, watch);
      await user.open('?l=' + language.charAt(0));
      for (let i = 0; i < PAGES.length; i++) {
        await user.clickTab(PAGES[i]);
        await shoot(user, `${language}-page${i + 1}`);
      }
      watch.check();
    } finally {
      await context.close();
    }
  };
  const theWindow = (user, name) => user.page.locator('#kv-window').screenshot({path: picture(name)});

  for (const language of ['de', 'en']) {
    runner.add(`${language}: the window at normal density`,
               eachPage(language, {viewport: {width: 800, height: 600}}, theWindow));
    runner.add(`${language}: the window at double density`,
               eachPage(language, {viewport: {width: 800, height: 600}, deviceScaleFactor: 2},
                        (user, name) => theWindow(user, name + '-x2')));
    runner.add(`${language}: the page on a phone 360 pixels wide`,
               eachPage(language, {viewport: {width: 360, height: 740}, deviceScaleFactor: 3,
                                   isMobile: true, hasTouch: true},
                        async (user, name) => {
                          const fits = await user.page.evaluate(() => {
                            const form = document.querySelector('.kv-form').getBoundingClientRect();
                            return {
                              left: form.left >= 0,
                              right: form.right <= document.documentElement.clientWidth,
                              scroll: document.documentElement.scrollWidth <=
                                  document.documentElement.clientWidth,
                            };
                          });
                          expectEqual(fits, {left: true, right: true, scroll: true},
                                      'the window on the narrow screen');
                          await user.page.screenshot({path: picture(name + '-360'), fullPage: true});
                        }));
  }

  runner.add('en: the whole page on a desktop screen', async () => {
    const context = await browser.newContext({viewport: {width: 720, height: 760}});
    const watch = new TConsoleWatch();
    try {
      const user = new TWebUser(context, server.url, watch);
      await user.open('?l=e');
      await user.page.locator('#kv-profile svg').waitFor();
      await user.page.screenshot({path: picture('en-page')});
      watch.check();
    } finally {
      await context.close();
    }
  });

  runner.add('en: a broken limit and a range message', async () => {
    const context = await browser.newContext({viewport: {width: 800, height: 600}});
    const watch = new TConsoleWatch();
    try {
      const user = new TWebUser(context, server.url, watch);
      await user.open('?l=e');
      await user.click('ED_HZin');
      await user.type('800');
      await user.key('Enter');
      await theWindow(user, 'en-limit');
      await user.type('1');
      await user.page.keyboard.press('Enter');
      await user.page.waitForFunction(() => document.getElementById('kv-box').open);
      await user.page.screenshot({path: picture('en-message')});
      await user.settle();
      watch.check();
    } finally {
      await context.close();
    }
  });
});
