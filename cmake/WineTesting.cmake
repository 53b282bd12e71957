# Running cross-built test programs under Wine.
function(qc_add_wine_test name exe)
  add_test(NAME ${name} COMMAND ${exe})
endfunction()
