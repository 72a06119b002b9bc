# Writes the site's service worker: the list of the files it keeps for offline play, and a cache
# name that changes whenever any file of the site does. The pictures are left out: the page shows
# none, and the icons are the browser's own business (sw.js.in says why).
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(digests "")
set(quoted "\"./\"")
foreach(file ${files})
    file(SHA256 ${SITE}/${file} digest)
    string(APPEND digests "${digest}${file}")
    if(NOT file MATCHES "\\.(png|svg)$")
        string(APPEND quoted ", \"${file}\"")
    endif()
endforeach()
string(SHA256 KAZERIMA_SITE_DIGEST "${digests}")
string(SUBSTRING ${KAZERIMA_SITE_DIGEST} 0 16 KAZERIMA_SITE_DIGEST)
set(KAZERIMA_SITE_FILES "${quoted}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
