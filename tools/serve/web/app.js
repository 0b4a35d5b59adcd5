// The console's start: checks the login with one API call, opens the event
// stream, then shows the view the address names (#readers, #inventory,
// #tag/READER/EPC, #commission, #epc/HEX, #api).
import { ApiError, get } from './api.js';
import { $ } from './dom.js';
import { openEvents } from './events.js';
import { initCommission, showCommission } from './views/commission.js';
import { initEpc, showEpc } from './views/epc.js';
import { initInventory, showInventory } from './views/inventory.js';
import { showLogin } from './views/login.js';
import { showOverview } from './views/overview.js';
import { initReaders, showReaders } from './views/readers.js';
import { initTag, showTag } from './views/tag.js';

let openapi = null;

const VIEWS = {
  readers: () => showReaders(),
  inventory: () => showInventory(),
  tag: (reader, epc) => showTag(reader, epc),
  commission: () => showCommission(),
  epc: (hex) => showEpc(hex),
  api: () => showOverview(openapi),
};

function route() {
  const [name, ...rest] = location.hash.replace(/^#/, '').split('/').map(decodeURIComponent);
  const view = VIEWS[name] ? name : 'readers';
  for (const section of document.querySelectorAll('section.view')) section.hidden = section.id !== view;
  for (const link of document.querySelectorAll('#menu a')) {
    if (link.hash === `#${view}`) link.setAttribute('aria-current', 'page');
    else link.removeAttribute('aria-current');
  }
  Promise.resolve(VIEWS[view](...rest)).catch((error) => {
    $('problem').textContent = error.message;
    $('problem').hidden = false;
  });
}

async function start() {
  const status = $('connection');
  try {
    openapi = await get('/api/v1/openapi.json');
  } catch (error) {
    if (error instanceof ApiError && error.httpStatus === 401) {
      showLogin('Not logged in');
      return;
    }
    status.textContent = 'Not connected';
    $('problem').textContent = error.message;
    $('problem').hidden = false;
    return;
  }
  const connected = `Connected: ${openapi.info.title}, API ${openapi.info.version}`;
  status.textContent = connected;
  openEvents((state) => {
    status.textContent = state === 'live' ? connected : `${connected}; event stream ${state}`;
  });
  initReaders();
  initInventory();
  initTag();
  initCommission(openapi);
  initEpc();
  $('menu').hidden = false;
  window.addEventListener('hashchange', route);
  route();
}

start();
