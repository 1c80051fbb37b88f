# Writes the translation unit that tells which version and commit a build came from. It runs on
# every build but rewrites its output only when the text changes (configure_file leaves an equal
# file alone), so a new commit recompiles one small file and relinks, and nothing else.
# Script mode: -DSOURCE_DIR= -DTEMPLATE= -DOUTPUT= -DVERSION= [-DCOMMIT=] (COMMIT names the commit
# where the sources are no git checkout, e.g. a distribution's build from a source tarball).
if(NOT COMMIT)
  find_program(git_program git)
  if(git_program)
    # Only the project's own checkout counts, not a repository the sources happen to lie in.
    execute_process(COMMAND "${git_program}" -C "${SOURCE_DIR}" rev-parse --show-toplevel
                    OUTPUT_VARIABLE top_level OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(top_level AND EXISTS "${top_level}")
      file(REAL_PATH "${top_level}" top_level)
      file(REAL_PATH "${SOURCE_DIR}" source_dir)
    endif()
    if(top_level AND top_level STREQUAL source_dir)
      # No optional locks: a build must not hold the index while the developer runs git.
      execute_process(COMMAND "${git_program}" --no-optional-locks -C "${SOURCE_DIR}"
                              describe --always --dirty --abbrev=12 --exclude=*
                      OUTPUT_VARIABLE COMMIT OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                      RESULT_VARIABLE failed)
      if(failed)
        set(COMMIT "")
      endif()
    endif()
  endif()
endif()
if(NOT COMMIT)
  set(COMMIT "unknown")
endif()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
