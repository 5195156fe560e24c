# One sanitizer family per build folder; the test script builds each once.
# Line tables (-g1) are all a report needs, and they build far faster.
if(TALIARD_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -O1 -g1)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(TALIARD_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer -O1 -g1)
  add_link_options(-fsanitize=thread)
elseif(NOT TALIARD_SANITIZE STREQUAL "")
  message(FATAL_ERROR "TALIARD_SANITIZE must be empty, address or thread")
endif()
