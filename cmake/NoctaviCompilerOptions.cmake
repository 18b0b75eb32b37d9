# Warnings and sanitizers apply to every target of the project alike.
add_compile_options(-Wall -Wextra)
if(NOCTAVI_WERROR)
  add_compile_options(-Werror)
endif()

if(NOCTAVI_SANITIZE)
  add_compile_options(-fsanitize=${NOCTAVI_SANITIZE} -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=${NOCTAVI_SANITIZE})
  if(NOCTAVI_SANITIZE MATCHES "undefined")
    # A finding must fail the test that caused it, not scroll past in its output.
    add_compile_options(-fno-sanitize-recover=all)
  endif()
endif()
