# ASan + UBSan for every target of the build when KELPMERE_SANITIZE is on.
if(KELPMERE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# The fuzz build instruments everything for libFuzzer's coverage and checks memory and UB;
# only the fuzz targets themselves link libFuzzer's main.
if(KELPMERE_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
