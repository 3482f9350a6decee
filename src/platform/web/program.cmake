# The web page from the program target quintaro (content/CMakeLists.txt
# includes this once the target exists). One folder of static files:
# page, script, WebAssembly and the data. The frame loops sleep each
# frame through Asyncify; -sFULL_ES2 gives client-side vertex arrays; the preload plugins turn the music into a
# media element; GL_TESTING keeps the picture between frames, as the
# desktop's swap does (the city is revealed over the phone's last frame).
set(web_shell ${CMAKE_SOURCE_DIR}/src/platform/web/web.html)
set_target_properties(quintaro PROPERTIES SUFFIX .html
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/page
  LINK_DEPENDS "${web_shell};${QVD_WEB_DATA}/.assetgen.stamp")
target_link_options(quintaro PRIVATE
  -sFULL_ES2=1 -sGL_TESTING=1 -sASYNCIFY=1 -sASYNCIFY_IGNORE_INDIRECT=1
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864 -sMINIFY_HTML=0
  --shell-file ${web_shell} --use-preload-plugins "SHELL:--preload-file ${QVD_WEB_DATA}@/")
