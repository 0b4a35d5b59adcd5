// The console's start: checks the login with one API call, then shows the
// view it can.
import { ApiError, get } from './api.js';
import { showLogin } from './views/login.js';
import { showOverview } from './views/overview.js';

async function start() {
  const status = document.getElementById('connection');
  try {
    const openapi = await get('/api/v1/openapi.json');
    status.textContent = `Connected: ${openapi.info.title}, API ${openapi.info.version}`;
    showOverview(openapi);
  } catch (error) {
    if (error instanceof ApiError && error.httpStatus === 401) {
      showLogin('Not logged in');
      return;
    }
    status.textContent = 'Not connected';
    const problem = document.getElementById('problem');
    problem.textContent = error.message;
    problem.hidden = false;
  }
}

start();
