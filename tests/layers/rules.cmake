set(ZOLVANE_ALL_FOLDERS "records;chart")
list(APPEND ZOLVANE_RULES "records|records|qt")
list(APPEND ZOLVANE_RULES "chart|chart,records|qt")
list(APPEND ZOLVANE_RULES "cli|!app|")
