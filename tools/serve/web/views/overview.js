// The overview view: the server's endpoints, from its OpenAPI description.

/** Fills the endpoint table from an OpenAPI document. */
export function showOverview(openapi) {
  const rows = document.getElementById('endpoints');
  rows.replaceChildren();
  for (const [path, item] of Object.entries(openapi.paths)) {
    for (const method of ['get', 'post', 'put', 'patch', 'delete']) {
      if (!item[method]) continue;
      const row = document.createElement('tr');
      for (const [text, className] of [[method.toUpperCase(), 'code'], [path, 'code'],
        [item[method].summary ?? '', '']]) {
        const cell = document.createElement('td');
        cell.textContent = text;
        if (className) cell.className = className;
        row.append(cell);
      }
      rows.append(row);
    }
  }
}
